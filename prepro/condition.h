// #if and #elif conditions: names looked up, comparisons and parentheses
// folded to "1" or "0"; no arithmetic.
#pragma once

#include <string>

#include "platform/text_file.h"
#include "prepro/file_prepro.h"
#include "reader/lexer.h"

namespace vandrel {

bool ApplyComparisonOperator(std::string left, std::string right, std::string op);

// The rest of an #elif line (continuation lines read from `in`).
bool EvaluateCondition(LineBuffer& line, TextFile& in);

// The state of an #if block: 1 when its condition (the rest of the #if line,
// continuation lines read from `in`) holds and the enclosing block is active.
int IfBlockActive(LineBuffer& line, TextFile& in, int enclosingActive);

// The rest of an #if line; consumes the block up to its #endif.
void ProcessIfBlock(LineBuffer& line, PreproFile& file, int enclosingActive);

}  // namespace vandrel
