#include "reader/string_table.h"

#include "reader/vocabulary.h"

namespace vandrel {

int g_typeNameCount = 0;

int CountTypeNames() {
  int i = 0;
  while (i < static_cast<int>(g_typeNameTable.size()) && g_typeNameTable[i] != "@1END") ++i;
  return i;
}

void ResetTypeNameTable() {
  const char* names[] = {"BOOL", "char", "short", "long", "void", "int", "@1END"};
  for (int i = 0; i < 7; ++i) g_typeNameTable[i] = names[i];
}

}  // namespace vandrel
