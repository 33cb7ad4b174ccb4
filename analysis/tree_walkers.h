// Steps 3 and 4: the two walkers over the preprocessed source tree.
#pragma once

#include <string>

namespace vandrel {

void SearchFile_DefineAls(std::string pattern, std::string folder);
void SearchFile_WordAls(std::string pattern, std::string folder);

}  // namespace vandrel
