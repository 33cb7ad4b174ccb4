// Step 1: Header_List.txt, one line per header of the source tree, and the
// two operations that turn an #include operand into a path.
#pragma once

#include <string>
#include <string_view>

namespace vandrel {

extern const std::string kHeaderListPath;  // ./vcwk012345/DEF/Header_List.txt

void BuildHeaderList(const std::string& mask, const std::string& folder);

// 1 and the path of the first line of the header list that contains the
// name anywhere; else 0 with `path` unchanged.
int FindHeaderPath(std::string name, std::string& path);

// The folder text without any occurrence of `strip`, followed by the
// operand without double quotes. Always 1.
int MakeIncludeName(std::string_view operand, std::string folder, std::string strip,
                    std::string& result);

// ".c", ".C", ".cpp", ".CPP", ".h" or ".H" (exactly).
bool IsSourceExtension(const std::string& extension);
// Title and extension (from the last ".", dot included) of a file name.
void SplitFileName(const std::string& name, std::string& title, std::string& extension);

}  // namespace vandrel
