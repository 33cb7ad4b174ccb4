// The definition table and the preprocessor's process-wide state.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "run/run_state.h"

namespace vandrel {

// The table belongs to the file being preprocessed: each thread has its own.
extern thread_local std::vector<std::string> g_defineNameList;   // macro names, in definition order
extern thread_local std::vector<std::string> g_defineValueList;  // values, each beginning with a TAB
extern thread_local int g_defineCount;
extern CarriedString g_preproFileTitle;  // title of the file being preprocessed
extern CarriedString g_defOutputDir;     // mirror folder of the folder being walked

// The table operations keep an index in step with the two lists, so that a
// lookup by name gives the entries a walk from the front would meet.
void ClearDefineTable();
void AppendDefine(std::string name, std::string value);
void SetDefineValue(int index, std::string value);
// Counts the changes of the table that a lookup can tell: emptied, an entry
// appended that repeats no entry it holds (same name and value), a value
// rewritten. It never goes back, so an unchanged count means a table that
// answers every lookup as it did.
unsigned long long DefineTableVersion();
// Positions of the entries of that name, in list order.
const std::vector<int>& DefinePositions(std::string_view name);
bool IsDefined(std::string_view name);
// Positions, in list order, of the values that hold TAB followed by `name`
// after their first character.
std::vector<int> ValuesMentioning(std::string_view name);

}  // namespace vandrel
