#include "reader/splitters.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace vandrel {
namespace {

using test::Sj;

const std::string kLongVowel = "\x81\x5B";  // ー: trail byte "["
const std::string kZe = "\x83\x5B";         // ゼ: trail byte "["

TEST(SplitAtTabTest, CutsAtTheFirstTab) {
  struct {
    std::string line, left, right;
  } cases[] = {
      {"NAME\tVALUE\tX", "NAME", "\tVALUE\tX"},
      {"NOTAB", "", "NOTAB"},
      {"\tx", "", "\tx"},
      {"x\t", "x", "\t"},
      {"", "", ""},
      {Sj("名前\t値"), Sj("名前"), Sj("\t値")},
      // A lead byte takes the byte after it, even a tab.
      {"\x81\tA\tB", "\x81\tA", "\tB"},
  };
  for (const auto& c : cases) {
    std::string left = "old", right = "old";
    SplitAtTab(c.line, left, right);
    EXPECT_EQ(left, c.left) << c.line;
    EXPECT_EQ(right, c.right) << c.line;
  }
}

TEST(SplitPrototypeTest, ReturnPartNameAndParameters) {
  struct {
    std::string line, returnPart, name, params;
  } cases[] = {
      {"static\tint\tfunc\t(\tint a\t)", "static\tint", "func", "(\tint a\t)"},
      {"int\tmain\t(\tvoid\t)\t", "int", "main", "(\tvoid\t)\t"},
      {"main\t(", "", "main", "("},
      {"no paren here", "", "", "no paren here"},
      {"(x)", "", "", "(x)"},
      // The byte right before "(" is never part of the name.
      {"int fn(x)", "int", "f", "(x)"},
      {"int f(x)", "int", "", "(x)"},
      // A blank anywhere in the head wins over a later tab.
      {"unsigned char\tget\t(", "unsigned", "char\tget", "("},
      {Sj("int\t関数名\t(\t)"), "int", Sj("関数名"), Sj("(\t)")},
      {"a\tb\t(x) (y)", "a", "b", "(x) (y)"},
  };
  for (const auto& c : cases) {
    std::string ret = "old", name = "old", params = "old";
    SplitPrototype(c.line, ret, name, params);
    EXPECT_EQ(ret, c.returnPart) << c.line;
    EXPECT_EQ(name, c.name) << c.line;
    EXPECT_EQ(params, c.params) << c.line;
  }
}

TEST(SplitCallTextTest, WithBlankBeforeParenLikePrototype) {
  struct {
    std::string text, first, name, params;
  } cases[] = {
      {"int\tf1 (a)", "int", "f1", "(a)"},
      {"static\tint\tfunc (\tx\t)", "static\tint", "func", "(\tx\t)"},
      {"g(x) (y)", "", "", "(x) (y)"},
      // No blank right before "(": NoDefine, parameters untouched.
      {"f(x)", "NoDefine", "f", "old"},
      {"f\t(x)", "NoDefine", "f\t", "old"},
      {"abc", "NoDefine", "", "old"},
      {" x", "NoDefine", "", "old"},
      {"", "NoDefine", "", "old"},
  };
  for (const auto& c : cases) {
    std::string first = "old", name = "old", params = "old";
    SplitCallText(c.text, first, name, params);
    EXPECT_EQ(first, c.first) << c.text;
    EXPECT_EQ(name, c.name) << c.text;
    EXPECT_EQ(params, c.params) << c.text;
  }
}

TEST(ParseDeclarationTest, TypeAndName) {
  struct {
    const char* why;
    std::string line, typePart, name;
  } cases[] = {
      {"void alone", "void", "void", "void"},
      {"void with tab", "void\t", "", "void"},
      {"tab before semicolon", "int\tx\t;", "int", "x"},
      {"tabs stay in the type", "static\tint\tcount\t;", "static\tint", "count"},
      {"no tab", "x", "", "x"},
      {"empty", "", "", ""},
      {"every semicolon goes", "x;y;", "", "xy"},
      {"subscript up to the last byte", "int\ttable[10]\t;", "int", "table"},
      {"blank before the subscript", "char\tbuf [ 8 ]\t;", "char", "buf"},
      {"two subscripts", "int\tm[2][3];", "int", "m"},
      {"subscript at the end", "int\tm[2]", "int", "m]"},
      {"closing bracket first", "int\ta]b[c\t;", "int", "a]b"},
      {"only an opening bracket", "int\ta[b\t;", "int", "a[b"},
      {"struct", "struct\ttag\tvar\t;", "struct", "var"},
      {"struct without final tab", "struct\ttag\tvar", "struct", "tag"},
      {"struct and one tab", "struct\tS", "struct", "struct"},
      {"struct alone", "struct", "struct", ""},
      {"struct inside a word", "unsigned\tstructure\tx", "struct", "structure"},
      {"struct keeps subscripts", "struct\tS\tarr[4]\t;", "struct", "arr[4]"},
      // Trail bytes "[" are no brackets.
      {"trail byte bracket only", "int\tx" + kLongVowel + "]\t;", "int", "x" + kLongVowel + "]"},
      {"real bracket after a trail byte", "int\t" + kZe + "[2]\t;", "int", kZe},
  };
  for (const auto& c : cases) {
    std::string type = "old", name = "old";
    ParseDeclaration(c.line, type, name);
    EXPECT_EQ(type, c.typePart) << c.why;
    EXPECT_EQ(name, c.name) << c.why;
  }
}

TEST(StripSubscriptsTest, EmptiesOutermostBrackets) {
  struct {
    std::string line, expected;
    int result;
  } cases[] = {
      {"abc", "abc", 1},
      {"", "", 1},
      {"a[i][j]", "a[][]", 1},
      {"a[b[i]]", "a[]", 1},
      {"x[1].y[c[2]]", "x[].y[]", 1},
      {"a[]", "a[]", 1},
      {"a[b", "a[b", 0},
      {"a[1][2", "a[][2", 0},
      {"a]b[c]", "a]b[c]", 0},
      {"]a[[b]]", "]a[[]]", 0},
      // Single bytes: the trail byte of ー counts as "[".
      {kLongVowel + "x]", kLongVowel + "]", 1},
      {"a[" + kLongVowel + "]", "a[" + kLongVowel + "]", 0},
  };
  for (const auto& c : cases) {
    std::string line = c.line;
    EXPECT_EQ(StripSubscripts(line), c.result) << c.line;
    EXPECT_EQ(line, c.expected) << c.line;
  }
}

TEST(StripSubscriptsTest, LongLine) {
  std::string line, expected;
  for (int i = 0; i < 5000; ++i) {
    line += "v[i+" + std::to_string(i) + "][k].";
    expected += "v[][].";
  }
  EXPECT_EQ(StripSubscripts(line), 1);
  EXPECT_EQ(line, expected);
}

}  // namespace
}  // namespace vandrel
