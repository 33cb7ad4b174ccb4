#include "reader/splitters.h"

#include "platform/cp932.h"

namespace vandrel {
namespace {

constexpr size_t npos = std::string::npos;

// The text before position n; nothing when there is no such position.
std::string Before(const std::string& s, size_t n) {
  return n == npos ? std::string() : s.substr(0, n);
}

// The text after position n; all of it when there is no such position.
std::string After(const std::string& s, size_t n) {
  return n == npos ? s : s.substr(n + 1);
}

// Removes every single-byte c, never a byte of a double-byte character.
std::string WithoutChar(const std::string& s, char c) {
  std::string out;
  out.reserve(s.size());
  for (size_t pos = 0; pos < s.size();) {
    const size_t next = MbNextChar(s, pos);
    if (!(next == pos + 1 && s[pos] == c)) out.append(s, pos, next - pos);
    pos = next;
  }
  return out;
}

}  // namespace

// "NAME\tVALUE" => "NAME", "\tVALUE"; without a tab: "", the line.
void SplitAtTab(std::string line, std::string& left, std::string& right) {
  const size_t t = MbFind(line, "\t");
  left = Before(line, t);
  right = t == npos ? line : line.substr(t);
}

// "static\tint\tfunc\t(\tint a\t)" => "static\tint", "func", "(\tint a\t)".
// The head in front of "(" leaves out the byte right before it.
void SplitPrototype(std::string line, std::string& returnPart, std::string& name,
                    std::string& params) {
  const size_t p = MbFind(line, "(");
  const std::string head = p == npos || p == 0 ? std::string() : line.substr(0, p - 1);
  size_t b = MbReverseFind(head, ' ');
  if (b == npos) b = MbReverseFind(head, '\t');
  returnPart = Before(line, b);
  name = After(head, b);
  params = p == npos ? line : line.substr(p);
}

void SplitCallText(std::string text, std::string& first, std::string& name, std::string& params) {
  if (MbContains(text, " (")) {
    SplitPrototype(std::move(text), first, name, params);
    return;
  }
  first = "NoDefine";
  name = Before(text, MbFind(text, "("));
}

// "static\tint\tcount\t;" => "static\tint", "count";
// "int\ttable[10]\t;" => "int", "table"; "struct\ttag\tvar\t;" => "struct", "var".
void ParseDeclaration(std::string line, std::string& typePart, std::string& name) {
  if (line == "void") {
    typePart = "void";
    name = "void";
    return;
  }
  if (MbContains(line, "struct")) {
    const std::string cut = Before(line, MbReverseFind(line, '\t'));
    name = After(cut, MbReverseFind(cut, '\t'));
    typePart = "struct";
    return;
  }
  const size_t open = MbFind(line, "[");
  if (open != npos && MbContains(line, "]")) {
    // The subscript goes up to the last byte (normally the ";").
    line.erase(open, line.size() - 1 - open);
    if (open > 0 && line[open - 1] == ' ') line.erase(open - 1, 1);
  }
  line = WithoutChar(line, ';');
  if (MbEndsWithChar(line, '\t')) line.pop_back();
  const size_t t = MbReverseFind(line, '\t');
  name = After(line, t);
  typePart = Before(line, t);
}

// "a[i][j]" => "a[][]", "a[b[i]]" => "a[]" (1); "a[b" stays (0). Bytes, not
// characters: a trail byte "[" counts.
int StripSubscripts(std::string& line) {
  std::string out;
  out.reserve(line.size());
  int depth = 0;
  size_t open = 0;  // the outermost "[" in `out`
  for (char c : line) {
    if (c == '[') {
      if (depth == 0) open = out.size();
      ++depth;
    } else if (c == ']' && --depth == 0) {
      out.resize(open + 1);
    }
    out.push_back(c);
  }
  line = std::move(out);
  return depth == 0 ? 1 : 0;
}

}  // namespace vandrel
