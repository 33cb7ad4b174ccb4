// The built-in C vocabulary tables; they live for the whole process.
#pragma once

#include <string>
#include <vector>

#include "reader/string_table.h"

namespace vandrel {

// Type names: the start-up names, refilled by ResetTypeNameTable and grown by
// the analysis passes without a limit; survives runs within one process. No
// lock: one thread at a time (the analysis worker) classifies tokens and adds
// names.
extern StringTable g_typeNameTable;

// Fixed tables, sentinel last ("@1END" for names, "@END" for keywords),
// padded with empty strings to their capacity.
extern const std::vector<std::string> g_qualifierTable;           // 10 slots
extern const std::vector<std::string> g_baseTypeTable;            // 100 slots
extern const std::vector<std::string> g_controlKeywordTable;      // 15 slots
extern const std::vector<std::string> g_operatorTable;            // 20 slots
extern const std::vector<std::string> g_comparisonOperatorTable;  // 20 slots
extern const std::vector<std::string> g_castKeywordTable;         // 30 slots

}  // namespace vandrel
