// Sentinel-ended string tables ("@1END" after the used entries).
#pragma once

#include <string>

namespace vandrel {

extern int g_typeNameCount;

int CountTypeNames();
void ResetTypeNameTable();

}  // namespace vandrel
