// Constant expressions of #define values: parenthesised groups, casts, "~"
// and the operator passes, over token arrays whose entry 0 is not used.
#pragma once

#include <string>
#include <vector>

namespace vandrel {

double ApplyArithmeticOperator(std::string left, std::string right, std::string op);
// 1 when `type` is a cast keyword ("%d" of the value), else 0 ("%.10f").
int ApplyCast(std::string type, std::string value, std::string& out);

// Reduces tokens[1 ...] in place up to the first blank token, which must be
// there. A group that no rule reduces is left after ten stand-stills at one
// position; `standStillLog`, when given, is logged each time (and when the
// step bound stops the scan).
void ReduceConstantTokens(std::vector<std::string>& tokens, const std::string* standStillLog);

// A stored value (TAB-separated tokens) reduced when it holds no word.
std::string& EvaluateArithmetic(std::string& out, std::string value);

}  // namespace vandrel
