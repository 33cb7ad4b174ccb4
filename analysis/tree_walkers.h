// Steps 3 and 4: the two walkers over the preprocessed source tree. Each
// walks folder/pattern depth first in scan order and hands every file whose
// extension is exactly ".c", ".h", ".cpp", ".C", ".H" or ".CPP" to its pass
// (ExtractTypeDefinitions, WordAlsFuncltion), setting g_currentSourceFile to
// the title of every file it meets. The abort flag is tested per entry.
#pragma once

#include <string>

namespace vandrel {

void SearchFile_DefineAls(std::string pattern, std::string folder);
void SearchFile_WordAls(std::string pattern, std::string folder);

}  // namespace vandrel
