// The properties both lexers keep, checked over a whole input: the input is
// cut to the empty token in at most one call per byte (plus the last), each
// call only shortens the rest of the line, each token is the text found
// after the skipped blanks, and no cut splits a double-byte character.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "reader/lexer.h"

namespace vandrel::fuzz {

// `next(line, indentation)` is one lexer call; `alt` tells NextRawTokenAlt's
// contract (closing quote kept, indentation stored) from NextRawToken's.
template <class Next>
void CheckLexer(std::string_view input, bool alt, Next next) {
  SilentHost& host = InstallSilentHost();
  LineBuffer line{std::string(input)};
  const std::string& text = line.Text();
  const size_t end = line.End();
  Check(end == std::min(input.find('\0'), input.size()), "the text ends at the first NUL");

  // Character starts, a lead byte and a trail byte being one character.
  std::vector<bool> starts(end + 1, false);
  size_t leadBytes = 0;
  for (size_t i = 0; i < end;) {
    starts[i] = true;
    const bool lead = IsShiftJisByteOfClass(2, text[i]) != 0;
    leadBytes += lead;
    i += lead && i + 1 < end && IsShiftJisByteOfClass(3, text[i + 1]) ? 2 : 1;
  }
  starts[end] = true;

  constexpr int kUnset = 12345;
  for (size_t calls = 1;; ++calls) {
    Check(calls <= end + 1, "more calls than bytes");
    const size_t before = line.Pos();
    int indentation = kUnset;
    const std::string token = next(line, indentation);
    const size_t after = line.Pos();
    Check(IsBlankToken(token) == (token.empty() || token == "\n"), "IsBlankToken", token);

    size_t start = before;
    unsigned blanks = 0;
    for (; start < end && (text[start] == ' ' || text[start] == '\t'); ++start)
      blanks += text[start] == ' ' ? 1 : 4;
    if (alt) {
      const int expected = blanks > 0 ? static_cast<int>(blanks | 0x80000000u) : kUnset;
      Check(indentation == expected, "indentation", token);
    } else {
      Check(indentation == kUnset, "NextRawToken stores no indentation");
    }

    if (token.empty()) {
      Check(start == end, "empty token before the end", line.Rest());
      Check(after == before, "the empty token changed the line");
      break;
    }
    Check(start < end && after > before && after <= end, "the rest did not shrink", token);
    const std::string_view rest = line.Rest();
    Check(rest.size() == end - after && (rest.empty() || rest.data() == text.data() + after),
          "Rest()");
    Check(std::string_view(text).substr(start, token.size()) == token,
          "token is not the text at the cut", token);
    const size_t tokenEnd = start + token.size();
    Check(tokenEnd <= after, "token runs past the cut", token);
    Check(starts[tokenEnd] && starts[after], "a cut inside a double-byte character", token);
    if (after > tokenEnd) {
      // Only NextRawToken drops a byte: the one that ends a literal.
      const char dropped = text[tokenEnd];
      Check(!alt && after == tokenEnd + 1 && (token[0] == '"' || token[0] == '\'') &&
                (dropped == '\n' || dropped == token[0]),
            "bytes cut that belong to no token", token);
    }
  }
  Check(text == std::string_view(input), "the lexer changed the text");
  Check(host.boxes <= static_cast<long>(leadBytes), "more boxes than lead bytes");
}

}  // namespace vandrel::fuzz
