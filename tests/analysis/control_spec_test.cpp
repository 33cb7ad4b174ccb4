#include "analysis/control_spec.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::Sj;

const std::string kSp = Sj("　");  // after every piece

// A SOURCE file: "[SOURCE]", the head, the rest of the head line, the body.
std::string SourceFile(const std::vector<std::string>& body) {
  std::string s = "[SOURCE]\r\nvoid f ( void ) { \r\n\r\n";
  for (const std::string& line : body) s += line + "\r\n";
  return s + "}";
}

// A control-design line from the tab count and the pieces.
std::string Line(int tabs, const std::vector<std::string>& pieces) {
  std::string s(tabs, '\t');
  for (const std::string& p : pieces) s += p + kSp;
  return s + "\r\n";
}

class ControlSpecTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    fs::create_directories("vcwk012345/SOURCE3");
    g_designElifCount = 0;
  }
  // Writes SOURCE/<name> and runs the writer on it; returns SOURCE3/<name>.
  std::string Run(const std::string& source, const std::string& name = "f") {
    test::WriteBytes("vcwk012345/SOURCE/" + name, source);
    EXPECT_EQ(WordAlsFuncltion_Als3("./vcwk012345/SOURCE/" + name, name), 1);
    return test::ReadBytes("vcwk012345/SOURCE3/" + name);
  }
};

struct SpecCase {
  const char* what;
  std::vector<std::string> body;  // UTF-8 source lines
  std::vector<std::string> lines; // expected lines, UTF-8, pieces separated by "|"
};

// "\t\t[処理] |x|=|1" -> two TABs and the pieces "[処理] ", "x", "=", "1".
std::string Expected(const std::string& spec) {
  size_t tabs = spec.find_first_not_of('\t');
  std::vector<std::string> pieces;
  std::string rest = spec.substr(tabs);
  for (size_t at; (at = rest.find('|')) != std::string::npos; rest.erase(0, at + 1))
    pieces.push_back(Sj(rest.substr(0, at).c_str()));
  pieces.push_back(Sj(rest.c_str()));
  return Line(static_cast<int>(tabs), pieces);
}

const SpecCase kCases[] = {
    {"the example: an if at depth 0 and an assignment in its block",
     {"    if (a > 0) {", "        x = 1;", "    }"},
     {"\t[条件分岐1] |a|>|0", "\t\t[処理] |x|=|1"}},
    {"an if in the block of an if is level 2",
     {"if (a) {", "if (b) {", "}", "}"},
     {"\t[条件分岐1] |a", "\t\t[条件分岐2] |b"}},
    {"if, else if, else if, else number the branches",
     {"if (a) {", "} else if (b) {", "} else if (c) {", "} else {", "}"},
     {"\t[条件分岐1] |a", "\t[条件分岐1-1] |b", "\t[条件分岐1-2] |c", "\t[上記以外]"}},
    {"an if starts the branch count again",
     {"if (a) {", "} else if (b) {", "}", "if (c) {", "} else if (d) {", "}"},
     {"\t[条件分岐1] |a", "\t[条件分岐1-1] |b", "\t[条件分岐1] |c", "\t[条件分岐1-1] |d"}},
    {"break is one level deeper and takes its own semicolon",
     {"switch (mode) {", "case 1:", "x++;", "break;", "default:", "break;", "}"},
     {"\t[ケース条件] |mode", "\t\t[ケース] |1", "\t\t[処理] |x|++",
      "\t\t\t[ブレイク] |;", "\t\t[デフォルト] |:", "\t\t\t[ブレイク] |;"}},
    {"an if with a single statement gives only its own line",
     {"if (a) x = 1;", "y = 2;"},
     {"\t[条件分岐1] |a", "\t[処理] |y|=|2"}},
    {"declarations give no line, with or without initializer",
     {"int a = 5;", "static const char *p;", "a = 1;"},
     {"\t[処理] |a|=|1"}},
    {"a for header keeps its parentheses and semicolons",
     {"for (i = 0; i < n; i++) {", "}"},
     {"\t[繰返し] |(|i|=|0|;|i|<|n|;|i|++|)"}},
    {"while keeps what lies inside its outer parentheses",
     {"while ((a & 1) != 0) {", "}"},
     {"\t[繰返し] |(|a|&|1|)|!=|0"}},
    {"do ... while gives the loop line after the block",
     {"do {", "x--;", "} while (x);"},
     {"\t\t[処理] |x|--", "\t[繰返し] |x"}},
    {"return with and without value",
     {"if (a) {", "return;", "}", "return a + 1;"},
     {"\t[条件分岐1] |a", "\t\t[終了] |;", "\t[終了] |a|+|1"}},
    {"statements that start with a pointer, an increment or a call",
     {"*p = 1;", "++n;", "f(x, \"s\");"},
     {"\t[処理] |*|p|=|1", "\t[処理] |++|n", "\t[処理] |f|(|x|,|\"s\"|)"}},
    {"a parenthesised start keeps the assignment on; a void cast starts anew",
     {"(*p) = 5;", "(void)g(1);", "(*q)++;"},
     {"\t[処理] |=|5", "\t[処理] |g|(|1|)"}},
    {"a statement spread over lines is one line",
     {"x =", "  a +", "  b;"},
     {"\t[処理] |x|=|a|+|b"}},
    {"a preprocessor line ends with its line unless continued",
     {"#define A(x) \\", "   ((x) + 1);", "#endif", "y = 2;"},
     {"\t[処理] |y|=|2"}},
    {"whole comments are skipped, block comments at a start wait for their end",
     {"x = 1; // set", "/* one", "   two; */", "z = 3; /* done */"},
     {"\t[処理] |x|=|1", "\t[処理] |z|=|3"}},
    {"else with a single statement waits for an if or a block",
     {"if (a) {", "} else", "  x = 1;", "{", "}"},
     {"\t[条件分岐1] |a", "\t[上記以外]"}},
    {"an unfinished statement at the closing brace is dropped",
     {"x = 1;", "FOO(x)"},
     {"\t[処理] |x|=|1"}},
    {"empty lines and labels", {"", "   ", "goto end;", "continue;", "a = b;"},
     {"\t[処理] |a|=|b"}},
};

TEST_F(ControlSpecTest, StatementsGiveTheirLines) {
  int n = 0;
  for (const SpecCase& c : kCases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> body;
    for (const std::string& l : c.body) body.push_back(Sj(l.c_str()));
    std::string expected;
    for (const std::string& l : c.lines) expected += Expected(l);
    EXPECT_EQ(Run(SourceFile(body), "f" + std::to_string(n++)), expected);
  }
}

TEST_F(ControlSpecTest, DeepConditionsRunOutOfLevelLabels) {
  // Conditions at depths 19 and 20: the label of depth 19 is "20", deeper ones are empty.
  std::vector<std::string> body;
  for (int d = 0; d < 19; ++d) body.push_back("{");
  body.push_back("if (a) {");
  body.push_back("if (b) {");
  for (int d = 0; d < 21; ++d) body.push_back("}");
  EXPECT_EQ(Run(SourceFile(body)),
            Line(20, {Sj("[条件分岐20] "), "a"}) + Line(21, {Sj("[条件分岐] "), "b"}));
}

TEST_F(ControlSpecTest, TheFirstThreeLinesAreNotRead) {
  // A body that starts on the head line is lost with it.
  std::string source = "[SOURCE]\r\nvoid f ( void ) { \r\n x = 1 ;\r\ny = 2;\r\n}";
  EXPECT_EQ(Run(source), Line(1, {Sj("[処理] "), "y", "=", "2"}));
}

TEST_F(ControlSpecTest, PiecesOfAnUnfinishedStatementStayWithTheirFunction) {
  Run(SourceFile({"if (a) FOO(x)"}), "first");
  EXPECT_EQ(Run(SourceFile({"b = 1;"}), "second"), Line(1, {Sj("[処理] "), "b", "=", "1"}));
}

TEST_F(ControlSpecTest, AStatementBeyondThePieceTableIsCutWithOneLogEntry) {
  std::string statement = "x = 0";
  for (int i = 0; i < 700; ++i) statement += " + 1";  // 1402 tokens after the tag
  std::string out = Run(SourceFile({statement + ";", "y = 2;"}));
  std::string first = out.substr(0, out.find("\r\n") + 2);
  std::string expectedFirst = "\t" + Sj("[処理] ") + kSp + "x" + kSp + "=" + kSp + "0" + kSp;
  for (int i = 4; i < kSpecPieceSlots; i += 2) expectedFirst += "+" + kSp + "1" + kSp;
  EXPECT_EQ(first, expectedFirst + "\r\n");
  EXPECT_EQ(out.substr(first.size()), Line(1, {Sj("[処理] "), "y", "=", "2"}));
  std::string log = test::ReadBytes("AnalyzeLog.txt");
  EXPECT_EQ(log.find(Sj("SPEC PIECE 配列OVER")), log.rfind(Sj("SPEC PIECE 配列OVER")));
  EXPECT_NE(log.find(Sj("SPEC PIECE 配列OVER")), std::string::npos);
}

TEST_F(ControlSpecTest, FilesThatCannotBeOpenedGive255) {
  EXPECT_EQ(WordAlsFuncltion_Als3("./vcwk012345/SOURCE/missing", "missing"), 255);
  EXPECT_FALSE(fs::exists("vcwk012345/SOURCE3/missing"));
  test::WriteBytes("vcwk012345/SOURCE/g", SourceFile({"x = 1;"}));
  fs::remove_all("vcwk012345/SOURCE3");
  EXPECT_EQ(WordAlsFuncltion_Als3("./vcwk012345/SOURCE/g", "g"), 255);
  EXPECT_FALSE(fs::exists("AnalyzeLog.txt"));
}

struct TagCase {
  const char* tag;
  int depth;
  int elifBefore;
  const char* slot;
  int elifAfter;
};

TEST(SetDesignTagTest, RendersTagsWithLevelAndBranch) {
  const TagCase cases[] = {
      {"[条件 IF] ", 0, 5, "\t[条件分岐1] ", 0},
      {"[条件 IF] ", 19, 0, "[条件分岐20] ", 0},
      {"[条件 IF] ", 20, 0, "[条件分岐] ", 0},
      {"[条件 IF] ", 150, 0, "[条件分岐] ", 0},  // past the label table
      {"[条件 ELIF] ", 1, 0, "\t\t[条件分岐2-1] ", 1},
      {"[条件 ELIF] ", 1, 1, "\t\t[条件分岐2-2] ", 2},
      {"[条件 ELIF] ", 0, 19, "\t[条件分岐1-20] ", 20},
      {"[条件 ELIF] ", 0, 20, "\t[条件分岐1-] ", 21},
      {"[条件 ELIF] ", 0, 120, "\t[条件分岐1-] ", 121},  // past the branch table
      {"[条件 ELSE] ", 2, 3, "\t\t\t[上記以外]", 0},
      {"[処理] ", 1, 4, "\t\t[処理] ", 4},
      {"[ブレイク] ", -1, 0, "[ブレイク] ", 0},
  };
  for (const TagCase& c : cases) {
    SCOPED_TRACE(std::string(c.tag) + " depth " + std::to_string(c.depth));
    g_designElifCount = c.elifBefore;
    std::string slot = "old";
    SetDesignTAG(Sj(c.tag), c.depth, slot);
    std::string expected = Sj(c.slot);
    if (c.depth >= 19) expected = std::string(c.depth + 1, '\t') + expected;
    EXPECT_EQ(slot, expected);
    EXPECT_EQ(g_designElifCount, c.elifAfter);
  }
  g_designElifCount = 0;
}

}  // namespace
}  // namespace vandrel
