#include "prepro/condition.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "prepro/prepro_fixture.h"

namespace vandrel {
namespace {

using Defines = std::vector<std::pair<const char*, const char*>>;

class ConditionTest : public test::PreproTest {
 protected:
  // Whether the line after "#if cond" (or after "#elif cond" following an
  // inactive #ifdef) reaches the copy.
  bool Active(const Defines& defines, const std::string& directive, const std::string& cond) {
    ClearDefineTable();
    for (const auto& [name, value] : defines) AppendDefine(name, value);
    std::filesystem::remove("vcwk012345/DEF/src/c.c");
    std::string head = directive == "if" ? "#if " : "#ifdef NOT_DEFINED\n#elif ";
    Source("src/c.c", head + cond + "\nIN\n#endif\nOUT\n");
    PreprocessFile("src/c.c", 1);
    std::string copy = Work("DEF/src/c.c");
    EXPECT_EQ(copy.substr(copy.size() - 4), "OUT\n");
    return copy.find("IN\n") != std::string::npos;
  }
};

struct Case {
  Defines defines;
  const char* directive;
  const char* cond;
  bool active;
};

TEST_F(ConditionTest, IfAndElifDecideAsTheirReadersFold) {
  const Defines a{{"A", "\t1\t"}};
  const Case cases[] = {
      {a, "if", "defined(A)", true},
      {a, "if", "defined A", true},
      {a, "if", "defined ( ( A ) )", true},
      {{}, "if", "defined(A)", false},
      {{}, "if", "defined A", false},
      {a, "if", "!defined(A)", false},
      {{}, "if", "!defined(A)", false},  // "!" stays in entry 0
      {{{"B", "\t"}}, "if", "defined(A) || defined(B)", true},
      {{{"A", "\t"}}, "if", "defined(A) || defined(B)", true},
      {{{"X", "\t3\t"}}, "if", "X == 3", true},
      {{{"X", "\t3\t"}}, "if", "X != 3", false},
      {{{"X", "\t3\t"}}, "if", "X >= 2", true},
      {{{"X", "\t0x3\t"}}, "if", "X == 3", false},
      {{{"X", "\t3\t"}, {"Y", "\t3\t"}}, "if", "X == Y", true},
      {{{"X", "\t3\t"}, {"Y", "\t0x3\t"}}, "if", "X == Y", false},
      {{}, "if", "A == B", false},
      {{}, "if", "A != B", true},
      {{}, "if", "A == A", true},
      {{}, "if", "A || B", true},
      {{}, "if", "A && B", true},
      {{}, "if", "A < B", false},
      {{{"X", "\t1\t"}}, "if", "X", true},
      {{{"X", "\t2\t"}}, "if", "X", false},
      {{{"X", "\t1\t"}}, "if", "X /* note */", true},
      {{{"X", "\t3\t"}}, "if", "X \\\n == 3", true},
      {{}, "if", "1", true},
      {{}, "if", "2", false},
      {{}, "if", "0x1", false},
      {{}, "if", "", false},
      {{}, "if", "(1)", true},
      {{}, "if", "((1))", true},
      {{}, "if", "!(0)", true},
      {{}, "if", "!(1)", false},
      {{}, "if", "!(2)", false},
      {{}, "if", "0 || 1", false},
      {{}, "if", "1 && 0", true},
      {{}, "if", "1 + 1", true},
      {{}, "if", "(1 == 1)", true},
      {{}, "if", "(1 == 2)", false},
      {{}, "if", "( 1 == 1 && 1 )", true},
      {{}, "if", "( 1 == 1 && 0 )", false},
      {{}, "if", "(1) && (0)", false},
      {{}, "if", "(0) || (1)", true},
      {{}, "if", "(1 + 1)", false},
      {{{"X", "\t3\t"}}, "if", "(X == 3)", true},
      {{{"X", "\t3\t"}}, "if", "(X == 3) && (X == 4)", false},
      {{{"X", "\t1\t"}}, "elif", "X", true},
      {{{"X", "\tword\t"}}, "elif", "X", true},
      {{{"X", "\t"}}, "elif", "X", true},
      {{{"X", "\t2\t"}}, "elif", "X", true},
      {{}, "elif", "X", false},
      {{{"X", "\t1\t"}}, "elif", "defined(X)", false},
      {{{"X", "\t1\t"}}, "elif", "X /* note */", false},
      {{{"X", "\t3\t"}}, "elif", "X == 3", true},
      {{{"X", "\t3\t"}}, "elif", "X < 3", false},
      {{{"X", "\t3\t"}}, "elif", "X == 0x3", false},
      {{{"X", "\t0x3\t"}}, "elif", "X == 3", false},
      {{{"X", "\t3\t"}, {"Y", "\t3\t"}}, "elif", "X == Y", true},
      {{{"X", "\t3\t"}}, "elif", "X == Y", false},
      {{}, "elif", "1", true},
      {{}, "elif", "!(0)", false},  // no "!" rule in #elif
      {{}, "elif", "(1)", true},
      {{}, "elif", "( 1 == 1 && 1 )", true},
      {{{"X", "\t3\t"}}, "elif", "X \\\n == 3", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Active(c.defines, c.directive, c.cond), c.active) << "#" << c.directive << " " << c.cond;
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(Log(), "");
}

TEST(ComparisonOperator, ComparesNumbersOfOneKindAndWordsAsText) {
  struct Op {
    const char *l, *r, *op;
    bool want;
  } cases[] = {
      {"3", "3", "==", true},         {"3.0000000000", "3", "==", true},
      {"2", "10", "<", true},         {"0", "5", "&&", false},
      {"0", "5", "||", true},         {"0x10", "0x0F", ">", true},
      {"0x10", "16", "==", false},    {"abc", "abc", "==", true},
      {"abc", "abd", "!=", true},     {"abc", "abd", "<", false},
      {"abc", "abd", "&&", true},     {"abc", "1", "||", false},
      {"3", "3", "+", false},         {"3", "3", "=", false},
  };
  for (const Op& c : cases)
    EXPECT_EQ(ApplyComparisonOperator(c.l, c.r, c.op), c.want) << c.l << c.op << c.r;
}

TEST_F(ConditionTest, AnIfLineOfThousandTokensShowsTheBoxOncePerThousand) {
  for (int tokens : {999, 1000, 2000}) {
    host.boxes.clear();
    std::filesystem::remove("AnalyzeLog.txt");
    std::string cond;  // tokens on continuation lines of 100
    for (int i = 0; i < tokens; ++i) cond += (i % 100 == 99) ? "( \\\n" : "( ";
    Active({}, "if", cond);
    const size_t boxes = tokens == 999 ? 0u : tokens / 1000u;
    EXPECT_EQ(host.BoxTexts(), std::vector<std::string>(boxes, test::Sj(" TMP配列OVER IF チェック ")))
        << tokens;
    std::string log = LogWithoutOpenParens();
    EXPECT_EQ(static_cast<size_t>(std::count(log.begin(), log.end(), '\n')), boxes) << tokens;
  }
}

TEST_F(ConditionTest, AnElifLongerThanItsTokenArrayIsFalseWithOneLogLine) {
  std::string cond = "1";
  for (int i = 1; i < 1000; ++i) cond += (i % 100 == 99) ? " ( \\\n" : " (";
  EXPECT_FALSE(Active({}, "elif", cond));
  std::string log = LogWithoutOpenParens();
  EXPECT_EQ(log.rfind("プリプロ解析 t : トークン配列OVER  1 ( (", 0), 0u);
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(ConditionTest, ContinuationAtTheEndOfTheFileIsLoggedForElifOnly) {
  Source("src/e.c", "#ifdef N\n#elif X \\\n");
  PreprocessFile("src/e.c", 1);
  EXPECT_EQ(Log(), "プリプロ解析 t :  X \\\n");
  std::filesystem::remove("AnalyzeLog.txt");
  Source("src/f.c", "#if X \\\n");
  PreprocessFile("src/f.c", 1);
  EXPECT_EQ(Log(), "");
}

}  // namespace
}  // namespace vandrel
