// The definition table and the preprocessor's process-wide state.
#pragma once

#include <string>
#include <vector>

namespace vandrel {

extern std::vector<std::string> g_defineNameList;   // macro names, in definition order
extern std::vector<std::string> g_defineValueList;  // values, each beginning with a TAB
extern int g_defineCount;
extern std::string g_preproFileTitle;  // title of the file being preprocessed
extern std::string g_defOutputDir;     // mirror folder of the folder being walked

}  // namespace vandrel
