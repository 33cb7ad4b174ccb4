// Token kinds and the two classifiers.
#pragma once

#include <string_view>

namespace vandrel {

enum TokenKind : int {
  kKindQualifier = 1,
  kKindTypeName = 2,
  kKindDecimal = 3,
  kKindHex = 4,
  kKindComparison = 5,  // comparison, logical or shift operator
  kKindOperator = 6,
  kKindOther = 7,       // identifiers, literals, Japanese text, "%", "?", ":"
  kKindOpenParen = 8,
  kKindCloseParen = 9,
  kKindOpenBrace = 10,
  kKindCloseBrace = 11,
  kKindOpenBracket = 12,
  kKindCloseBracket = 13,
  kKindSemicolon = 14,
  kKindHash = 15,
  kKindAssign = 16,
  kKindCommentStart = 17,
  kKindCommentEnd = 18,
  kKindComment = 19,
  kKindControl = 20,
  kKindBackslash = 21,
  kKindDot = 22,
  kKindComma = 23,
  kKindIncrement = 24,
  kKindDecrement = 25,
  kKindBaseType = 26,   // ClassifyTokenNoArrow only
  kKindArrow = 27,      // ClassifyToken only
  kKindEmpty = 99,
};

int ClassifyToken(std::string_view token);
int ClassifyTokenNoArrow(std::string_view token);

}  // namespace vandrel
