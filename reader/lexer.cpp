#include "reader/lexer.h"

#include <cstdlib>
#include <cstring>

#include "platform/host.h"
#include "reader/texts.h"

namespace vandrel {
namespace {

// The text of one line from the cut position on; bytes at or past `end`
// read as NUL.
struct Scan {
  const char* text;
  size_t end;
  unsigned char At(size_t i) const { return i < end ? static_cast<unsigned char>(text[i]) : 0; }
};

// Token [start, tokenEnd); the line loses everything before cutEnd.
struct Cut {
  size_t tokenEnd;
  size_t cutEnd;
};

bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsHexLetter(unsigned char c) { return (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
bool IsIdentifierByte(unsigned char c) { return IsLetter(c) || IsDigit(c) || c == '_'; }
bool IsNumberByte(unsigned char c) {
  return IsDigit(c) || IsHexLetter(c) || c == '.' || c == 'x';
}

void ShowBrokenPair() {
  CurrentHost().MessageBox(kMsgBrokenDoubleByte, kDefaultCaption, MessageButtons::Ok);
}

// Pairs from a lead byte for as long as a lead byte follows a pair. A pair
// whose second byte is no trail byte is kept whole after the box; a lead byte
// at the end of the text stands alone.
size_t ScanDoubleByteRun(const Scan& s, size_t i) {
  do {
    if (!IsShiftJisByteOfClass(3, s.At(i + 1))) ShowBrokenPair();
    if (i + 1 >= s.end) return s.end;
    i += 2;
  } while (IsShiftJisByteOfClass(2, s.At(i)));
  return i;
}

size_t ScanWhile(const Scan& s, size_t i, bool (*keep)(unsigned char)) {
  while (i < s.end && keep(s.At(i))) ++i;
  return i;
}

// From an opening quote: the byte after it is taken unless it is a newline;
// then a newline or the same quote ends the literal. The ending byte is cut
// from the line and belongs to the token only for the Alt lexer.
Cut ScanLiteral(const Scan& s, size_t i, bool keepEnd) {
  const unsigned char quote = s.At(i);
  size_t j = i + 1;
  if (j < s.end && s.At(j) != '\n') ++j;
  while (j < s.end && s.At(j) != '\n' && s.At(j) != quote) ++j;
  if (j >= s.end) return {s.end, s.end};
  return {keepEnd ? j + 1 : j, j + 1};
}

// End of the text up to (not including) the next newline.
size_t LineEnd(const Scan& s, size_t i) {
  if (i >= s.end) return s.end;
  const void* nl = std::memchr(s.text + i, '\n', s.end - i);
  return nl ? static_cast<size_t>(static_cast<const char*>(nl) - s.text) : s.end;
}

// "/*" up to and including the first "*/" on the line, else up to the newline.
size_t ScanBlockComment(const Scan& s, size_t i) {
  const size_t stop = LineEnd(s, i + 2);
  for (size_t j = i + 2; j + 1 < stop; ++j) {
    if (s.At(j) == '*' && s.At(j + 1) == '/') return j + 2;
  }
  return stop;
}

// Length of the operator token at i (1 for every other byte).
size_t OperatorLength(const Scan& s, size_t i, bool alt) {
  const unsigned char a = s.At(i), b = s.At(i + 1);
  switch (a) {
    case '*':
      return b == '/' ? 2 : 1;
    case '=':
      return b == '=' ? 2 : 1;
    case '!':
      return b == '=' ? 2 : 1;
    case '+':
    case '&':
    case '|':
      if (b == a) return 2;
      return alt && b == '=' ? 2 : 1;
    case '-':
      if (b == '-' || b == '>') return 2;
      return alt && b == '=' ? 2 : 1;
    case '<':
    case '>':
      if (b == a) return alt && s.At(i + 2) == '=' ? 3 : 2;
      return b == '=' ? 2 : 1;
    default:
      return 1;
  }
}

Cut ScanToken(const Scan& s, size_t i, bool alt) {
  const unsigned char c = s.At(i);
  size_t end;
  if (IsShiftJisByteOfClass(2, c)) {
    end = ScanDoubleByteRun(s, i);
  } else if (IsLetter(c) || c == '_') {
    end = ScanWhile(s, i + 1, IsIdentifierByte);
  } else if (IsDigit(c)) {
    end = ScanWhile(s, i + 1, IsNumberByte);
  } else if (c == '"' || c == '\'') {
    return ScanLiteral(s, i, alt);
  } else if (c == '/' && s.At(i + 1) == '*') {
    end = ScanBlockComment(s, i);
  } else if (c == '/' && s.At(i + 1) == '/') {
    end = LineEnd(s, i + 2);
  } else {
    end = i + OperatorLength(s, i, alt);
  }
  return {end, end};
}

// One call of either lexer: blanks and tabs, then the token.
std::string NextToken(LineBuffer& line, bool alt, int* indentation) {
  const Scan s{line.Text().data(), line.End()};
  size_t i = line.Pos();
  unsigned int count = 0;
  for (; i < s.end && (s.At(i) == ' ' || s.At(i) == '\t'); ++i) count += s.At(i) == ' ' ? 1 : 4;
  if (indentation && count > 0) *indentation = static_cast<int>(count | 0x80000000u);
  if (i >= s.end) return std::string();
  const Cut cut = ScanToken(s, i, alt);
  line.SetPos(cut.cutEnd);
  return std::string(s.text + i, cut.tokenEnd - i);
}

}  // namespace

int IsShiftJisByteOfClass(int byteClass, unsigned char byte) {
  bool in;
  switch (byteClass) {
    case 1:
      in = byte >= 0xA1 && byte <= 0xFE;
      break;
    case 2:
      in = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
      break;
    case 3:
      in = (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
      break;
    default:
      std::exit(1);
  }
  return in ? byte : 0;
}

int IsDecimalDigit(char c) { return IsDigit(static_cast<unsigned char>(c)) ? 1 : 0; }

std::string NextRawToken(LineBuffer& line) { return NextToken(line, false, nullptr); }

std::string NextRawTokenAlt(LineBuffer& line, int& indentation) {
  return NextToken(line, true, &indentation);
}

int IsBlankToken(std::string_view token) { return token.empty() || token == "\n" ? 1 : 0; }

}  // namespace vandrel
