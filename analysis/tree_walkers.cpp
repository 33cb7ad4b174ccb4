#include "analysis/tree_walkers.h"

namespace vandrel {

void SearchFile_DefineAls(std::string pattern, std::string folder) {}
void SearchFile_WordAls(std::string pattern, std::string folder) {}

}  // namespace vandrel
