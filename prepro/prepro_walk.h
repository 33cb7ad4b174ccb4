// Step 2: the preprocessed copy of the source tree and the definition files.
#pragma once

#include <string>

namespace vandrel {

// 1 when the abort flag stopped the walk or the folder cannot be scanned.
int PreprocessTree(const std::string& mask, const std::string& folder);
// DefList.txt, the file preprocessor, then the file's definition file.
void PreprocessSourceFile(const std::string& path);

// The definition file of a source file: its title and "_DEF_H.dat" for a
// header, "_DEF_C.dat" otherwise.
std::string DefinitionFileName(const std::string& fileName);

// True when every work file named after the source file fits the OS's name
// length: its definition file, the longest (6 or 8 bytes more than the
// name), "INF_" and "F_" with the name. A file whose name does not fit is
// not preprocessed, so no pass meets it.
bool SourceWorkNamesFit(const std::string& fileName);

}  // namespace vandrel
