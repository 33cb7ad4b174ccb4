#include "reader/token_kind.h"

#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/cp932.h"
#include "reader/type_names.h"
#include "reader/vocabulary.h"

namespace vandrel {
namespace {

// Which scans of the fixed tables find a word.
enum WordBits : unsigned {
  kInQualifiers = 1u << 0,        // before "@1END"
  kInBaseTypes = 1u << 1,         // before "@1END"
  kInComparisons = 1u << 2,       // before "@END"
  kInComparisonSlots = 1u << 3,   // the first 13 slots, "@END" included
  kInOperators = 1u << 4,         // before "@END"
  kInControlKeywords = 1u << 5,   // before "@END"
  kInControlSlots = 1u << 6,      // all 15 slots
};

using WordIndex = std::unordered_map<std::string_view, unsigned>;

void AddBefore(WordIndex& index, const std::vector<std::string>& table, std::string_view sentinel,
               unsigned bit) {
  for (const std::string& entry : table) {
    if (entry == sentinel) break;
    index[entry] |= bit;
  }
}

void AddSlots(WordIndex& index, const std::vector<std::string>& table, size_t slots, unsigned bit) {
  for (size_t i = 0; i < slots && i < table.size(); ++i) index[table[i]] |= bit;
}

// One lookup answers every scan of the fixed tables, as the scans would.
unsigned FixedWordBits(std::string_view token) {
  static const WordIndex index = [] {
    WordIndex w;
    AddBefore(w, g_qualifierTable, "@1END", kInQualifiers);
    AddBefore(w, g_baseTypeTable, "@1END", kInBaseTypes);
    AddBefore(w, g_comparisonOperatorTable, "@END", kInComparisons);
    AddSlots(w, g_comparisonOperatorTable, 13, kInComparisonSlots);
    AddBefore(w, g_operatorTable, "@END", kInOperators);
    AddBefore(w, g_controlKeywordTable, "@END", kInControlKeywords);
    AddSlots(w, g_controlKeywordTable, 15, kInControlSlots);
    return w;
  }();
  auto it = index.find(token);
  return it == index.end() ? 0 : it->second;
}

// Brackets, separators, assignments and the other exact tokens; 0 for none.
int PunctuationKind(std::string_view t, bool arrow) {
  if (t.size() == 1) {
    switch (t[0]) {
      case '(': return kKindOpenParen;
      case ')': return kKindCloseParen;
      case ';': return kKindSemicolon;
      case '{': return kKindOpenBrace;
      case '}': return kKindCloseBrace;
      case '[': return kKindOpenBracket;
      case ']': return kKindCloseBracket;
      case '=': return kKindAssign;
      case '#': return kKindHash;
      case '\\': return kKindBackslash;
      case '.': return kKindDot;
      case ',': return kKindComma;
      default: return 0;
    }
  }
  if (t.size() != 2) return 0;
  if (t[1] == '=' && (t[0] == '+' || t[0] == '-' || t[0] == '*' || t[0] == '/')) return kKindAssign;
  if (t == "++") return kKindIncrement;
  if (t == "--") return kKindDecrement;
  if (arrow && t == "->") return kKindArrow;
  return 0;
}

// The comment markers anywhere in the token; 0 for none.
int CommentKind(std::string_view t, bool lineComments) {
  if (std::memchr(t.data(), '/', t.size()) == nullptr) return 0;
  if (lineComments && MbContains(t, "//")) return kKindComment;
  if (MbContains(t, "/*")) return MbFind(t, "*/", 2) != std::string_view::npos ? kKindComment
                                                                             : kKindCommentStart;
  if (MbContains(t, "*/")) return kKindCommentEnd;
  return 0;
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The tests of both classifiers, in order; `full` selects ClassifyToken's
// arrow, line comments and fixed-length scans, else the base-type test.
int Classify(std::string_view t, bool full) {
  if (t.empty()) return kKindEmpty;
  if (int kind = PunctuationKind(t, full)) return kind;
  if (int kind = CommentKind(t, full)) return kind;
  const unsigned words = FixedWordBits(t);
  if (words & kInQualifiers) return kKindQualifier;
  if (!full && (words & kInBaseTypes)) return kKindBaseType;
  if (IsTypeName(t)) return kKindTypeName;
  if (t[0] >= '0' && t[0] <= '9') {
    return t.size() >= 3 && t[1] == 'x' && t[0] == '0' && IsHexDigit(t[2]) ? kKindHex
                                                                            : kKindDecimal;
  }
  if (words & (full ? kInComparisonSlots : kInComparisons)) return kKindComparison;
  if (words & kInOperators) return kKindOperator;
  if (words & (full ? kInControlSlots : kInControlKeywords)) return kKindControl;
  return kKindOther;
}

}  // namespace

int ClassifyToken(std::string_view token) { return Classify(token, true); }
int ClassifyTokenNoArrow(std::string_view token) { return Classify(token, false); }

}  // namespace vandrel
