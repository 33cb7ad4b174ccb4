#include "prepro/define_table.h"

namespace vandrel {

std::vector<std::string> g_defineNameList;
std::vector<std::string> g_defineValueList;
int g_defineCount = 0;
std::string g_preproFileTitle;
std::string g_defOutputDir;

}  // namespace vandrel
