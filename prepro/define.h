// #define lines and the lookup of a name in the definition table.
#pragma once

#include <string>

#include "platform/text_file.h"
#include "reader/lexer.h"

namespace vandrel {

// Lookup codes: no usable entry, a number, a word, an empty value.
enum DefineLookup : int { kLookupNone = 0, kLookupNumber = 1, kLookupWord = 2, kLookupEmpty = 3 };

// The first entry of that name whose value starts with a usable token.
int LookupDefine(std::string name, std::string& out);

// `line` holds the rest of the line after "define"; `rawLine` is the whole
// line. Writes the line (and its continuation lines) to `out` and appends
// the definition to the table.
void ProcessDefine(LineBuffer& line, TextFile& in, TextFile& out, const std::string& rawLine);

}  // namespace vandrel
