#include "prepro/arithmetic.h"

#include <gtest/gtest.h>

#include "prepro/prepro_fixture.h"
#include "reader/string_table.h"
#include "reader/type_name_guard.h"

namespace vandrel {
namespace {

using test::PreproTest;

TEST(ArithmeticOperator, ComputesInDoubleAndBitsAsUnsigned32) {
  struct Case {
    const char *l, *r, *op;
    double want;
  } cases[] = {
      {"1", "2", "+", 3},           {"1", "2", "-", -1},
      {"1.5", "4", "*", 6},         {"10", "4", "/", 2.5},
      {"1e3", "1", "+", 1001},      {"0x10", "2", "<<", 64},
      {"1.5", "1", "<<", 2},        {"7", "8", "|", 15},
      {"6", "3", "&", 2},           {"1", "31", "<<", 2147483648.0},
      {"1", "33", "<<", 2},         {"0x80000000", "0", "|", 2147483647},
      {"0xFFFFFFFF", "1", "+", 2147483648.0},
      {"4294967295", "0", "|", 4294967295.0},
      {"4294967296", "0", "|", 0},  {"-1", "0", "|", 4294967295.0},
      {"0x80", "4", ">>", 8},       {"-1", "28", ">>", 15},
      {"2.9", "1", "|", 3},
  };
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(ApplyArithmeticOperator(c.l, c.r, c.op), c.want) << c.l << c.op << c.r;
}

TEST(ArithmeticCast, CastKeywordsGiveIntegersOtherTypesFixedText) {
  struct Case {
    const char *type, *value, *out;
    int result;
  } cases[] = {
      {"u2", "0x10", "16", 1},          {"u1", "300", "300", 1},
      {"s2", "3.7", "3", 1},            {"F4", "2.5", "2", 1},
      {"U4", "-1.0000000000", "-1", 1}, {"int", "3.7", "3.7000000000", 0},
      {"int", "0x10", "16.0000000000", 0}, {"u2", "0x80000000", "2147483647", 1},
      {"@1END", "5", "5.0000000000", 0},
  };
  for (const Case& c : cases) {
    std::string out = "old";
    EXPECT_EQ(ApplyCast(c.type, c.value, out), c.result) << c.type << " " << c.value;
    EXPECT_EQ(out, c.out) << c.type << " " << c.value;
  }
}

class EvaluateArithmeticTest : public PreproTest {
 protected:
  test::TypeNameTableGuard types;
};

TEST_F(EvaluateArithmeticTest, ReducesParenthesisedConstants) {
  AddTypeName("u2");
  AddTypeName("u1");
  struct Case {
    const char *value, *want;
  } cases[] = {
      {"\t(\t1\t+\t2\t)\t", "\t3.0000000000\t"},
      {"\t1\t+\t2\t", "\t1\t+\t2\t"},
      {"\t(\t3\t*\t2\t)\t", "\t6.0000000000\t"},
      {"\t(\t(\tu2\t)\t0x10\t)\t", "\t16\t"},
      {"\t(\t(\tint\t)\t3.7\t)\t", "\t3.7000000000\t"},
      {"\t(\t0x10\t<<\t2\t)\t", "\t64.0000000000\t"},
      {"\t(\t1.5\t<<\t1\t)\t", "\t2.0000000000\t"},
      {"\t(\t7\t|\t8\t)\t", "\t15.0000000000\t"},
      {"\t(\t6\t&\t3\t)\t", "\t2.0000000000\t"},
      {"\t(\t10\t/\t4\t)\t", "\t2.5000000000\t"},
      {"\t(\t~\t0x0F\t)\t", "\t-16\t"},
      {"\t(\t~\t10\t)\t", "\t-17\t"},
      {"\t(\t(\tunsigned\tshort\tint\t)\t5\t)\t", "\t5\t"},
      {"\t(\t(\tconst\tchar\t*\t)\t0\t)\t", "\t0\t"},
      {"\t(\t(\tchar\t*\t)\t0\t)\t", "\t0\t"},
      {"\t(\t2\t*\t3\t*\t4\t)\t", "\t24.0000000000\t"},
      {"\t(\t1\t+\t2\t*\t3\t*\t4\t)\t", "\t28.0000000000\t"},
      {"\t(\t(\t1\t+\t2\t)\t*\t(\t3\t-\t1\t)\t)\t", "\t6.0000000000\t"},
      {"\t(\tu2\t)\t(\t5\t)\t", "\t5\t"},
      {"\t(\t(\tu1\t)\t~\t0x0F\t)\t", "\t-16\t"},
      {"\t(\t*\t5\t)\t", "\t*\t5\t"},
      {"\t(\t1\t<<\t2\t+\t3\t)\t", "\t32.0000000000\t"},
      // words keep the value as it is (the first token is not tested)
      {"\t(\tA\t<<\t1\t)\t", "\t(\tA\t<<\t1\t)\t"},
      {"\t(\tu4\t)\t0x10\t", "\t(\tu4\t)\t0x10\t"},
      // a value of DefList.txt: no final TAB, blanks inside
      {"\t(3)", "\t3\t"},
      {"\t(1 + 2)", "\t3.0000000000\t"},
      {"\t", "\t"},
      {"\t()\t", "\t(\t)\t"},
  };
  for (const Case& c : cases) {
    std::string out;
    EXPECT_EQ(EvaluateArithmetic(out, c.value), c.want) << c.value;
    EXPECT_EQ(out, c.want) << c.value;
  }
}

TEST_F(EvaluateArithmeticTest, GroupsThatNoRuleReducesEndUnchanged) {
  for (const char* value : {"\t(\t7\t%\t2\t)\t", "\t(\t2\t^\t1\t)\t", "\t(\t-\t5\t)\t",
                            "\t5\t)\t", "\t(\t1\t2\t3\t)\t", "\t(\t.\t.\t)\t"}) {
    std::string out;
    EXPECT_EQ(EvaluateArithmetic(out, value), value);
  }
  EXPECT_EQ(Log(), "");  // no stand-still line outside #define
}

TEST_F(EvaluateArithmeticTest, DivisionByZeroGivesTheRuntimeText) {
  std::string out;
  EXPECT_EQ(EvaluateArithmetic(out, "\t(\t1\t/\t0\t)\t"), "\tinf\t");
  EXPECT_EQ(EvaluateArithmetic(out, "\t(\t1\t-\t3\t/\t0\t)\t"), "\t-inf\t");
}

TEST_F(EvaluateArithmeticTest, ValueLongerThanTheTokenArrayIsRefusedWithOneLogLine) {
  std::string value = "\t(\t1";
  for (int i = 1; i < 600; ++i) value += "\t+\t1";
  value += "\t)\t";
  std::string out;
  EXPECT_EQ(EvaluateArithmetic(out, value), value);
  std::string log = Log();
  EXPECT_EQ(log.find("プリプロ解析 t : "), 0u);
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
  g_memoryFactor = 2;
  EXPECT_EQ(EvaluateArithmetic(out, value), "\t600.0000000000\t");  // room at factor 2
}

}  // namespace
}  // namespace vandrel
