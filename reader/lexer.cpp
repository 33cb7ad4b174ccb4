#include "reader/lexer.h"

namespace vandrel {

// Placeholder until the lexers are written.
int IsShiftJisByteOfClass(int, unsigned char) { return 0; }
int IsDecimalDigit(char c) { return c >= '0' && c <= '9' ? 1 : 0; }
std::string NextRawToken(LineBuffer&) { return std::string(); }
std::string NextRawTokenAlt(LineBuffer&, int&) { return std::string(); }
int IsBlankToken(std::string_view token) { return token.empty() || token == "\n" ? 1 : 0; }

}  // namespace vandrel
