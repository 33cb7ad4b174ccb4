// Splitters of the tab-separated lines that the passes write and read back.
// Searches never split a double-byte character (StripSubscripts looks at
// single bytes).
#pragma once

#include <string>

namespace vandrel {

// At the first tab: the text before it, and the rest from the tab on.
void SplitAtTab(std::string line, std::string& left, std::string& right);
// Cuts at the first "(" and at the last blank (else tab) before the byte in
// front of it: return part, name, and the parameter part from "(" on.
void SplitPrototype(std::string line, std::string& returnPart, std::string& name,
                    std::string& params);
// Like SplitPrototype when the text holds a blank followed by "("; else
// first = "NoDefine", name = the text before "(" and params untouched.
void SplitCallText(std::string text, std::string& first, std::string& name, std::string& params);
// The last tab-separated field is the name (with the rules for "void",
// "struct", subscripts and ";").
void ParseDeclaration(std::string line, std::string& typePart, std::string& name);
// Deletes the text inside outermost brackets; 1 when they balance, else 0.
int StripSubscripts(std::string& line);

}  // namespace vandrel
