// Step 2: the preprocessed copy of the source tree and the definition files.
#pragma once

#include <string>

namespace vandrel {

// 1 when the abort flag stopped the walk or the folder cannot be scanned.
int PreprocessTree(const std::string& mask, const std::string& folder);
// DefList.txt, the file preprocessor, then the file's definition file.
void PreprocessSourceFile(const std::string& path);

}  // namespace vandrel
