#include "prepro/define.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "prepro/prepro_fixture.h"
#include "reader/string_table.h"
#include "reader/type_name_guard.h"

namespace vandrel {
namespace {

using Table = std::vector<std::pair<std::string, std::string>>;

class DefineTest : public test::PreproTest {
 protected:
  // Preprocesses src/d.c holding `text`; returns the definition table.
  Table Define(const std::string& text) {
    Source("src/d.c", text);
    PreprocessFile("src/d.c", 1);
    Table t;
    for (size_t i = 0; i < g_defineNameList.size(); ++i)
      t.emplace_back(g_defineNameList[i], g_defineValueList[i]);
    return t;
  }
  test::TypeNameTableGuard types;
};

TEST_F(DefineTest, StoresValuesAsTabSeparatedTokens) {
  AddTypeName("u2");
  struct Case {
    const char *line, *value;
  } cases[] = {
      {"#define A (1+2)\n", "\t3.0000000000\t"},
      {"#define A 1+2\n", "\t1\t+\t2\t"},
      {"#define LEN 10\n", "\t10\t"},
      {"#define B 16U\n", "\t16\t"},
      {"#define B 16UL\n", "\t16\t"},
      {"#define B 0x10U\n", "\t0x10\t"},
      {"#define B 16L\n", "\t16\tL\t"},
      {"#define B 16u\n", "\t16\tu\t"},
      {"#define B (16U + 1)\n", "\t17.0000000000\t"},
      {"#define D\n", "\t"},
      {"#define D", "\t"},
      {"#define F(x) ((x)+1)\n", "\t(\tx\t)\t(\t(\tx\t)\t+\t1\t)\t"},
      {"#define G (2*8)\n", "\t16.0000000000\t"},
      {"#define H ((u2)0x10)\n", "\t16\t"},
      {"#define H ((u4)0x10)\n", "\t(\t(\tu4\t)\t0x10\t)\t"},
      {"#define H ((int)3.7)\n", "\t3.7000000000\t"},
      {"#define S \"text\"\n", "\t\"text\t"},
      {"#define C 5 /* five */\n", "\t5\t"},
      {"#define C 5 /* open\n", "\t5\t/* open\t"},
      {"#define C 5 // five\n", "\t5\t// five\t"},
      {"  #  define  I  ( 4 )  \n", "\t4\t"},
      {"x = 1; # define M 2\n", "\t2\t"},
  };
  for (const Case& c : cases) {
    ClearDefineTable();
    std::filesystem::remove("vcwk012345/DEF/src/d.c");
    Table t = Define(c.line);
    ASSERT_EQ(t.size(), 1u) << c.line;
    EXPECT_EQ(t[0].second, c.value) << c.line;
    EXPECT_EQ(Work("DEF/src/d.c"), c.line);  // the line stays in the copy
  }
}

TEST_F(DefineTest, NamesDefinedBeforeAreReplacedByTheirValues) {
  EXPECT_EQ(Define("#define A 5\n#define C A\n#define W word\n#define V W\n#define E\n"
                   "#define F E\n#define P (A*2)\n")[1].second,
            "\t5\t");
  Table t;
  for (size_t i = 0; i < g_defineNameList.size(); ++i)
    t.emplace_back(g_defineNameList[i], g_defineValueList[i]);
  EXPECT_EQ(t, (Table{{"A", "\t5\t"},
                      {"C", "\t5\t"},
                      {"W", "\tword\t"},
                      {"V", "\tword\t"},  // a word value: stored, never evaluated
                      {"E", "\t"},
                      {"F", "\tE\t"},     // an empty value is not brought in
                      {"P", "\t10.0000000000\t"}}));
}

TEST_F(DefineTest, UndefinedNamesStayAsWritten) {
  EXPECT_EQ(Define("#define C A\n#define P (A*2)\n#define Q (W+1)\n"),
            (Table{{"C", "\tA\t"}, {"P", "\t(\tA\t*\t2\t)\t"}, {"Q", "\t(\tW\t+\t1\t)\t"}}));
}

TEST_F(DefineTest, ALaterNameRewritesTheValuesThatMentionIt) {
  Source("DefList.txt", "PRE\t(A + 1)\nPRE2\tA\n");
  // through the walk, so that DefList.txt is read
  Source("src/d.c",
         "#define E (A*2)\n#define C A\n#define S (B+A)\n#define NUM_X (NUM+1)\n"
         "#define A 3\n#define N 7\n");
  TextFile(WorkPath("DEF/Header_List.txt"), TextFile::Mode::Write).Close();
  PreprocessTree("*.*", "src");
  EXPECT_EQ(Work("DEF/d_DEF_C.dat"),
            "PRE\t(A + 1)\n"            // no TAB before its A: untouched
            "PRE2\tA\n"                 // only the first token begins with A
            "E\t6.0000000000\t\n"       // rewritten and evaluated
            "C\tA\t\n"                  // the first token does not count
            "S\t(\tB\t+\t3\t)\t\n"      // rewritten, B is still a word
            "NUM_X\t(\t7UM\t+\t1\t)\t\n"  // plain substring replacement
            "A\t3\t\n"
            "N\t7\t\n");
}

TEST_F(DefineTest, AValueReducedToOneNumberAlsoRewritesEarlierValues) {
  EXPECT_EQ(Define("#define E (G+1)\n#define G (2*8)\n"),
            (Table{{"E", "\t17.0000000000\t"}, {"G", "\t16.0000000000\t"}}));
  ClearDefineTable();
  EXPECT_EQ(Define("#define E (G+1)\n#define G 2*8\n"),  // three value tokens: no rewrite
            (Table{{"E", "\t(\tG\t+\t1\t)\t"}, {"G", "\t2\t*\t8\t"}}));
}

TEST_F(DefineTest, BackSubstitutionStopsBeforeAValueGrowsWithoutBound) {
  // Each definition of A multiplies the A's in X's value by four.
  std::string text = "#define X (A)\n";
  for (int i = 0; i < 12; ++i) text += "#define A AAAA\n";
  Table t = Define(text);
  ASSERT_FALSE(t.empty());
  EXPECT_EQ(t[0].first, "X");
  EXPECT_LE(t[0].second.size(), 65536u);
  EXPECT_GT(t[0].second.size(), 16384u);  // the rewrites below the bound happened
  std::string log = Log();
  EXPECT_NE(log.find("定義値長さOVER X\n"), std::string::npos) << log;
}

TEST_F(DefineTest, ContinuationLinesMakeOneEntryAndStayInTheCopy) {
  const std::string text = "#define LONG_ONE (1 + \\\n  2 + \\\n  3)\nint x;\n";
  EXPECT_EQ(Define(text), (Table{{"LONG_ONE", "\t6.0000000000\t"}}));
  EXPECT_EQ(Work("DEF/src/d.c"), text);
}

TEST_F(DefineTest, ContinuationAtTheEndOfTheFileLogsAndWritesTheRest) {
  EXPECT_EQ(Define("#define A 1 \\\n"), (Table{{"A", "\t1\t"}}));
  EXPECT_EQ(Work("DEF/src/d.c"), "#define A 1 \\\n\n");
  EXPECT_EQ(Log(), "プリプロ解析 t :  A 1 \\\n");
}

TEST_F(DefineTest, AGroupNoRuleReducesLeavesOneLogLine) {
  EXPECT_EQ(Define("#define X (7 ^ 2)\n#define Y (1 + 2)\n"),
            (Table{{"X", "\t(\t7\t^\t2\t)\t"}, {"Y", "\t3.0000000000\t"}}));
  EXPECT_EQ(Log(), "プリプロ解析 t :  X (7 ^ 2)\n");
}

TEST_F(DefineTest, ADefinitionLongerThanTheTokenArrayIsRefused) {
  std::string big = "#define BIG";  // 1000 value tokens on ten lines
  for (int i = 0; i < 1000; ++i) big += i % 100 == 99 ? " 1 \\\n" : " 1";
  big += "\n";
  EXPECT_EQ(Define(big + "#define OK 1\n"), (Table{{"OK", "\t1\t"}}));
  EXPECT_EQ(Work("DEF/src/d.c"), big + "#define OK 1\n");
  std::string log = Log();
  EXPECT_EQ(log.rfind("プリプロ解析 t : トークン配列OVER  BIG 1 1", 0), 0u);
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);

  ClearDefineTable();
  g_memoryFactor = 2;  // the same line fits in twice the room
  EXPECT_EQ(Define(big).size(), 1u);
}

TEST_F(DefineTest, ADefineWithoutANameDefinesNothing) {
  EXPECT_EQ(Define("#define\n#define  \n"), Table{});
  EXPECT_EQ(Work("DEF/src/d.c"), "#define\n#define  \n");
}

TEST_F(DefineTest, LookupGivesTheFirstEntryWithAUsableFirstToken) {
  struct Entry {
    const char *name, *value;
  } entries[] = {
      {"NUM", "\t5\t"},       {"HEX", "\t0x1F\t"},   {"WORD", "\tabc\t"},
      {"EMPTY", "\t"},        {"PTR", "\t*\t5\t"},   {"PAREN", "\t(\t1\t)\t"},
      {"PAREN", "\t7\t"},     {"STAR", "\t*\tA\t"},  {"PRE", "\t2"},
      {"NUM", "\t6\t"},       {"OP", "\t-\t1\t"},
  };
  for (const Entry& e : entries) AppendDefine(e.name, e.value);
  struct Case {
    const char* name;
    int code;
    const char* out;
  } cases[] = {
      {"NUM", kLookupNumber, "5"},   {"HEX", kLookupNumber, "0x1F"},
      {"WORD", kLookupWord, "abc"},  {"EMPTY", kLookupEmpty, ""},
      {"PTR", kLookupNumber, "*5"},  {"PAREN", kLookupNumber, "7"},
      {"STAR", kLookupNone, "old"},  {"PRE", kLookupNumber, "2"},
      {"OP", kLookupNone, "old"},    {"NONE", kLookupNone, "old"},
  };
  for (const Case& c : cases) {
    std::string out = "old";
    EXPECT_EQ(LookupDefine(c.name, out), c.code) << c.name;
    EXPECT_EQ(out, c.out) << c.name;
  }
}

// The table's version moves with every change that a lookup can tell, and
// only with those.
TEST_F(DefineTest, TheTableVersionMovesWhenALookupCanTell) {
  struct Case {
    const char* what;
    std::function<void()> change;
    bool moves;
  } cases[] = {
      {"a new name", [] { AppendDefine("B", "\t2\t"); }, true},
      {"a name and value held already", [] { AppendDefine("A", "\t1\t"); }, false},
      {"a held name with another value", [] { AppendDefine("A", "\t(\t"); }, true},
      {"a value rewritten", [] { SetDefineValue(0, "\t3\t"); }, true},
      {"a value written as it is", [] { SetDefineValue(0, "\t1\t"); }, false},
      {"an entry appended behind the table's back", [] { g_defineNameList.push_back("C"),
                                                          g_defineValueList.push_back("\t"); }, true},
      {"the table emptied", [] { ClearDefineTable(); }, true},
  };
  for (const Case& c : cases) {
    ClearDefineTable();
    AppendDefine("A", "\t1\t");
    const unsigned long long before = DefineTableVersion();
    c.change();
    EXPECT_EQ(DefineTableVersion() != before, c.moves) << c.what;
  }
}

}  // namespace
}  // namespace vandrel
