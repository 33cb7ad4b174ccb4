// What the preprocessor notes about a source file as it reads it: input
// that the analysis goes on with but may misread, one preprocessor log line
// per kind and file, naming the file and the line.
#pragma once

#include <string>
#include <string_view>

namespace vandrel {

// A file holding a NUL byte is no C source (a binary file, or UTF-16 text):
// it is not preprocessed at all.
bool IsBinaryText(std::string_view text);

// Logs, under the file's title: UTF-8 text, broken double-byte characters,
// lines that the preprocessor reads in pieces, a block comment or a literal
// that never ends, and braces or parentheses that do not pair up.
void LogSourceProblems(const std::string& title, const std::string& path, std::string_view text);

}  // namespace vandrel
