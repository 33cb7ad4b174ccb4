// Step 3, per preprocessed source file: the type names it declares go to
// ./vcwk012345/Typedef.txt and into the type-name table (at once, so they
// count for every later token of the run), and its enumerators with a known
// value go to ./vcwk012345/DEF/<base>_DEF_C.dat as name TAB value lines.
#pragma once

#include <string>

namespace vandrel {

void ExtractTypeDefinitions(std::string path);

}  // namespace vandrel
