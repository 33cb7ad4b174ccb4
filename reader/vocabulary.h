// The built-in C vocabulary tables.
#pragma once

#include <string>
#include <vector>

namespace vandrel {

// Type names: 2500 slots, "@1END" after the used entries; grows with typedefs.
extern std::vector<std::string> g_typeNameTable;

}  // namespace vandrel
