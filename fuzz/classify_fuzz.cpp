// ClassifyToken and ClassifyTokenNoArrow over the input as one token and
// over every token that either lexer cuts from it: each kind is one of the
// table's, the arrow only from ClassifyToken, the base type only from
// ClassifyTokenNoArrow, and the empty kind exactly for the empty token.
#include "fuzz/fuzz_support.h"
#include "reader/lexer.h"
#include "reader/token_kind.h"

namespace {

using namespace vandrel;

bool IsSharedKind(int kind) {
  return (kind >= kKindQualifier && kind <= kKindDecrement) || kind == kKindEmpty;
}

void CheckKinds(std::string_view token) {
  const int full = ClassifyToken(token);
  const int noArrow = ClassifyTokenNoArrow(token);
  fuzz::Check(IsSharedKind(full) || full == kKindArrow, "ClassifyToken kind", token);
  fuzz::Check(IsSharedKind(noArrow) || noArrow == kKindBaseType, "ClassifyTokenNoArrow kind",
              token);
  fuzz::Check((full == kKindEmpty) == token.empty(), "ClassifyToken empty kind", token);
  fuzz::Check((noArrow == kKindEmpty) == token.empty(), "ClassifyTokenNoArrow empty kind", token);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::InstallSilentHost();
  const std::string_view input = fuzz::AsText(data, size);
  CheckKinds(input);
  LineBuffer line{std::string(input)};
  for (std::string token; !(token = NextRawToken(line)).empty();) CheckKinds(token);
  line.Assign(std::string(input));
  int indentation = 0;
  for (std::string token; !(token = NextRawTokenAlt(line, indentation)).empty();) CheckKinds(token);
  return 0;
}
