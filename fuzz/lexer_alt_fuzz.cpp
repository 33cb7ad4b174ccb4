// NextRawTokenAlt over one input.
#include "fuzz/lexer_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vandrel::fuzz::CheckLexer(vandrel::fuzz::AsText(data, size), true,
                            [](vandrel::LineBuffer& line, int& indentation) {
                              return vandrel::NextRawTokenAlt(line, indentation);
                            });
  return 0;
}
