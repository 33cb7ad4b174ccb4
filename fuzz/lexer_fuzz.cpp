// NextRawToken over one input.
#include "fuzz/lexer_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vandrel::fuzz::CheckLexer(vandrel::fuzz::AsText(data, size), false,
                            [](vandrel::LineBuffer& line, int&) { return vandrel::NextRawToken(line); });
  return 0;
}
