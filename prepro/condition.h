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

// The rest of an #if line (continuation lines read from `in`).
bool EvaluateIfCondition(LineBuffer& line, TextFile& in);

// The rest of an #if line; consumes the block up to its #endif.
void ProcessIfBlock(LineBuffer& line, PreproFile& file, int enclosingActive);

}  // namespace vandrel
