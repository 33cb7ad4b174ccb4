#include "analysis/subscript_scanner.h"

#include "reader/token_kind.h"

namespace vandrel {

thread_local int g_referenceCount = 0;

namespace {

constexpr int kWindowSlots = 500;
// Deeper subscripts end the scan as a line end does, so that a line of
// brackets cannot exhaust the stack.
constexpr int kMaxNesting = 500;

void StoreReference(std::vector<std::string>& references, std::string text) {
  if (g_referenceCount >= static_cast<int>(references.size())) references.resize(g_referenceCount + 1);
  references[g_referenceCount++] = std::move(text);
}

std::string ScanLevel(LineBuffer& line, std::vector<std::string>& references, int depth) {
  if (depth > kMaxNesting) return std::string();
  std::vector<std::string> window;  // the level's tokens, slot i = token i
  auto slot = [&window](int i) -> std::string& {
    if (i >= static_cast<int>(window.size())) window.resize(i + 1);
    return window[i];
  };
  auto record = [&](int start, int end) {
    std::string text;
    for (int k = start; k <= end; ++k) text += slot(k);
    StoreReference(references, text + "\n");
  };
  int start = 0;
  bool open = false;
  for (int i = 0; i < kWindowSlots; ++i) {
    std::string token = NextRawToken(line);
    if (IsBlankToken(token)) return std::string();
    slot(i) = token;
    int kind = ClassifyToken(token);
    if (kind == kKindOther) {
      start = i;
      open = true;
    } else if (kind == kKindOpenBracket || kind == kKindCloseBracket) {
      if (kind == kKindOpenBracket) {
        slot(i + 1) = ScanLevel(line, references, depth + 1);
        i += 2;
      }
      if (open) record(start, i - 1);
      return slot(i);
    } else if (kind == kKindComparison || kind == kKindOperator) {
      if (open) record(start, i - 1);
      open = false;
    }
  }
  return std::string();
}

}  // namespace

std::string ScanSubscriptReferences(LineBuffer& line, std::vector<std::string>& references) {
  return ScanLevel(line, references, 1);
}

}  // namespace vandrel
