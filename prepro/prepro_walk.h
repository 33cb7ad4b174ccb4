// Step 2: the preprocessed copy of the source tree and the definition files.
#pragma once

#include <string>

namespace vandrel {

int PreprocessTree(const std::string& mask, const std::string& folder);

}  // namespace vandrel
