#include "reader/token_kind.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "reader/string_table.h"
#include "reader/vocabulary.h"
#include "test_support.h"
#include "reader/type_name_guard.h"

namespace vandrel {
namespace {

using test::Sj;

class TypeNameTableTest : public ::testing::Test {
 private:
  test::TypeNameTableGuard guard_;
};

struct KindCase {
  std::string token;
  int kind;         // ClassifyToken
  int noArrowKind;  // ClassifyTokenNoArrow
};

void ExpectKinds(const std::vector<KindCase>& cases) {
  for (const KindCase& c : cases) {
    EXPECT_EQ(ClassifyToken(c.token), c.kind) << "[" << c.token << "]";
    EXPECT_EQ(ClassifyTokenNoArrow(c.token), c.noArrowKind) << "[" << c.token << "] no arrow";
  }
}

TEST_F(TypeNameTableTest, KindsOfBothClassifiers) {
  ResetTypeNameTable();
  ExpectKinds({
      {"", 99, 99},
      {"(", 8, 8},
      {")", 9, 9},
      {"{", 10, 10},
      {"}", 11, 11},
      {"[", 12, 12},
      {"]", 13, 13},
      {";", 14, 14},
      {"#", 15, 15},
      {"\\", 21, 21},
      {".", 22, 22},
      {",", 23, 23},
      {"=", 16, 16},
      {"+=", 16, 16},
      {"-=", 16, 16},
      {"*=", 16, 16},
      {"/=", 16, 16},
      {"&=", 7, 7},
      {"|=", 7, 7},
      {"%=", 7, 7},
      {"^=", 7, 7},
      {"++", 24, 24},
      {"--", 25, 25},
      {"->", 27, 7},
      // numbers
      {"0x1F", 4, 4},
      {"0xa", 4, 4},
      {"0x9", 4, 4},
      {"0x", 3, 3},
      {"0xg1", 3, 3},
      {"0X1F", 3, 3},
      {"1x2", 3, 3},
      {"0", 3, 3},
      {"123", 3, 3},
      {"1.5e10", 3, 3},
      {"1.5e", 3, 3},
      // comments
      {"\"http://x\"", 19, 7},
      {"// c", 19, 7},
      {"// a /* b", 19, 17},
      {"// x */", 19, 18},
      {"/**/", 19, 19},
      {"/* c */", 19, 19},
      {"/*", 17, 17},
      {"/* c", 17, 17},
      {"/*/", 17, 17},
      {"*/", 18, 18},
      {"\"*/\"", 18, 18},
      {"/", 6, 6},
      // operators
      {"==", 5, 5},
      {"||", 5, 5},
      {"&&", 5, 5},
      {"!=", 5, 5},
      {"<=", 5, 5},
      {">=", 5, 5},
      {"<", 5, 5},
      {">", 5, 5},
      {">>", 5, 5},
      {"<<", 5, 5},
      {">>=", 5, 5},
      {"<<=", 5, 5},
      {"&", 6, 6},
      {"|", 6, 6},
      {"+", 6, 6},
      {"-", 6, 6},
      {"*", 6, 6},
      {"!", 6, 6},
      {"~", 6, 6},
      {"^", 6, 6},
      {"%", 7, 7},
      {"?", 7, 7},
      {":", 7, 7},
      // sentinels
      {"@1END", 7, 7},
      {"@END", 5, 7},
      // words
      {"static", 1, 1},
      {"const", 1, 1},
      {"volatile", 1, 1},
      {"unsigned", 1, 1},
      {"signed", 1, 1},
      {"int", 2, 26},
      {"char", 2, 26},
      {"short", 2, 26},
      {"long", 2, 26},
      {"void", 2, 26},
      {"BOOL", 2, 26},
      {"if", 20, 20},
      {"else", 20, 20},
      {"for", 20, 20},
      {"switch", 20, 20},
      {"case", 20, 20},
      {"break", 20, 20},
      {"while", 20, 20},
      {"do", 20, 20},
      {"return", 20, 20},
      {"goto", 20, 20},
      {"default", 20, 20},
      {"continue", 20, 20},
      {"Int", 7, 7},
      {"CHAR", 7, 7},  // a start-up name, gone after the reset
      {"u1", 7, 7},
      {"foo", 7, 7},
      {"\"abc\"", 7, 7},
      {Sj("日本語"), 7, 7},
      {"\xB1", 7, 7},
  });
}

TEST_F(TypeNameTableTest, TestOrderDecidesBetweenRows) {
  ResetTypeNameTable();
  for (const char* name : {"MyType", "static", "if", "<<", "123", "++", "//x", "*/", "&"}) {
    AddTypeName(name);
  }
  ExpectKinds({
      {"MyType", 2, 2},
      {"static", 1, 1},  // qualifiers come before type names
      {"if", 2, 2},      // type names before control keywords
      {"<<", 2, 2},      // ... before comparisons
      {"&", 2, 2},       // ... before operators
      {"123", 2, 2},     // ... before numbers
      {"++", 24, 24},
      {"//x", 19, 2},    // line comments only in ClassifyToken
      {"*/", 18, 18},
  });
}

TEST_F(TypeNameTableTest, CommentMarkersAreFoundAtCharacterStarts) {
  // 0x81 0x2F is a broken pair that the lexer keeps whole; its "/" starts no marker.
  ExpectKinds({
      {"\x81/*", 7, 7},
      {"\x81//", 7, 7},
      {"a\x81//", 7, 7},
      {"\x81//*", 17, 17},
      {Sj("表/*"), 17, 17},
  });
}

// Runs in a fresh process: earlier tests of this one may have reset the table.
TEST(VocabularyDeathTest, StartUpTypeNames) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::vector<std::string> startUp = {
      "CHAR", "UCHAR", "SHORT", "USHORT", "LONG", "ULONG", "BOOL", "char", "short", "long", "void",
      "int", "ResType", "MSG_IF2NAVI_COM", "st_dd_can_msginitbl_canmsg"};
  EXPECT_EXIT(
      {
        const bool ok = g_typeNameTable.Names() == startUp &&
                        ClassifyToken("CHAR") == kKindTypeName &&
                        ClassifyTokenNoArrow("ResType") == kKindTypeName &&
                        ClassifyTokenNoArrow("int") == kKindBaseType;
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(VocabularyTest, CapacitiesAndSentinels) {
  struct {
    const char* name;
    const std::vector<std::string>& table;
    size_t slots;
    std::vector<std::string> used;  // up to and including the sentinel
  } cases[] = {
      {"qualifiers", g_qualifierTable, 10,
       {"static", "const", "volatile", "unsigned", "signed", "@1END"}},
      {"base types", g_baseTypeTable, 100,
       {"char", "int", "short", "long", "BOOL", "void", "@1END"}},
      {"control keywords", g_controlKeywordTable, 15,
       {"if", "else", "for", "switch", "case", "break", "while", "do", "return", "goto", "default",
        "continue", "@END", "@END"}},
      {"operators", g_operatorTable, 20, {"&", "|", "+", "-", "/", "*", "!", "~", "^", "@END"}},
      {"comparisons", g_comparisonOperatorTable, 20,
       {"==", "||", "&&", "!=", "<=", ">=", "<", ">", ">>", "<<", ">>=", "<<=", "@END"}},
      {"casts", g_castKeywordTable, 30,
       {"u1", "u2", "u4", "s1", "s2", "s4", "U1", "U2", "U4", "S1", "S2", "S4", "F4", "@1END"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(c.table.size(), c.slots);
    std::vector<std::string> used(c.table.begin(), c.table.begin() + c.used.size());
    EXPECT_EQ(used, c.used);
    for (size_t i = c.used.size(); i < c.slots; ++i) EXPECT_EQ(c.table[i], "") << i;
  }
}

}  // namespace
}  // namespace vandrel
