#include "reports/call_tree_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "platform/cp932.h"
#include "platform/text_file.h"
#include "reports/report_fixture.h"
#include "run/run_state.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::RecordSpec;
using test::Sj;

const char kDir[] = "vcwk012345/HTML/CallTree/";

std::string Tree(int depth, const std::string& name) {
  std::string s;
  for (int i = 0; i < depth; ++i) s += "\t|";
  return s + "--" + name + "\r\n";
}

class CallTreeWriterTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    fs::create_directories(kDir);
    fs::create_directories("vcwk012345/FunctionList4");
  }
  void Draw(const std::vector<std::string>& roots, CallTreeLimits limits = kCallTreeLimits) {
    CallTreeRun run("./vcwk012345/FunctionList4", limits);
    for (const std::string& r : roots) {
      g_callTreeDepth = 0;
      DrawRoot(r, run);
      EXPECT_EQ(g_callTreeDepth.load(), 0);
    }
  }
  // One root, its page lines appended to call_tree.html.
  static void DrawRoot(const std::string& root, CallTreeRun& run) {
    RootTree tree(run, run.budget);
    tree.page.Open(std::string(kDir) + "call_tree.html", TextFile::Mode::Append);
    WriteCallTree(root, tree);
    run.textFunctions.Merge(tree.textFunctions);
  }
  std::string Text() { return test::ReadBytes(std::string(kDir) + "call_tree.txt"); }
  std::string Ram() { return test::ReadBytes(std::string(kDir) + "call_tree_ram.txt"); }
  std::string Html() { return test::ReadBytes(std::string(kDir) + "call_tree.html"); }
};

TEST_F(CallTreeWriterTest, CalleesFollowTheirCallerWithTheirWholeSubtree) {
  test::WriteRecord({"r", {"a()", "b(x, y)"}});
  test::WriteRecord({"a", {"c(1)"}, {}, {}, {}, {{"r"}}});
  test::WriteRecord({"b", {}, {}, {}, {}, {{"r"}}});
  test::WriteRecord({"c", {}, {}, {}, {}, {{"a"}}});
  Draw({"r"});
  EXPECT_EQ(Text(), Tree(0, "r") + Tree(1, "a") + Tree(2, "c") + Tree(1, "b"));
  EXPECT_EQ(Ram(), Text());
}

TEST_F(CallTreeWriterTest, NodeLinesInTheHtmlTree) {
  test::WriteRecord({"r", {"x(1)", "a()"}});
  test::WriteRecord({"a", {}});
  Draw({"r"});
  const std::string g1 = Sj("　　　|"), g2 = g1 + g1;
  EXPECT_EQ(Html(),
            "<font size='2'>" + g1 + "--</font><A href= ..\\r.html target='view'>r</A><BR>\r\n" +
                "<font size='2'>" + g2 + "--</font><font size='2'>x[non]</font><BR>\r\n" +
                "<font size='2'>" + g2 + "--</font><A href= ..\\a.html target='view'>a</A><BR>\r\n");
  EXPECT_EQ(Text(), Tree(0, "r") + "\t|--x[non]\r\n" + Tree(1, "a"));
}

// Names are escaped where they are shown; the link keeps the file name.
TEST_F(CallTreeWriterTest, NamesAreEscapedInTheHtmlTreeOnly) {
  test::WriteRecord({"r", {"operator<(a)", "p->f(x)"}});
  test::WriteBytes("vcwk012345/FunctionList4/operator<", "Not Found Function");
  Draw({"r"});
  const std::string g2 = Sj("　　　|　　　|");
  EXPECT_EQ(Html().substr(Html().find("<BR>\r\n") + 6),
            "<font size='2'>" + g2 + "--</font><A href= ..\\operator<.html target='view'>operator&lt;</A><BR>\r\n" +
                "<font size='2'>" + g2 + "--</font><font size='2'>p-&gt;f[non]</font><BR>\r\n");
  EXPECT_EQ(Text(), Tree(0, "r") + Tree(1, "operator<") + "\t|--p->f[non]\r\n");
}

TEST_F(CallTreeWriterTest, ARecursiveFunctionIsDrawnDownToTheDepthLimit) {
  test::WriteRecord({"s", {"s(n - 1)", "u()"}});
  test::WriteRecord({"u", {}});
  Draw({"s"});
  std::string expected;
  for (int d = 0; d <= 25; ++d) expected += Tree(d, "s");
  expected += "*IndentOver\r\n";
  // Each caller goes on with its next callee at its own depth.
  for (int d = 25; d >= 1; --d) expected += Tree(d, "u");
  EXPECT_EQ(Text(), expected);
  EXPECT_EQ(Ram(), expected);
}

TEST_F(CallTreeWriterTest, TheCallSectionEndsAtNoneTheMarkerAndAnEmptyLine) {
  auto record = [](const std::string& calls) {
    return Sj("[関数名称]\r\nf\r\n\r\n[コール関数]\r\n") + calls + "\r\n\r\nz()\r\n";
  };
  test::WriteBytes("vcwk012345/FunctionList4/n1", record("NONE\r\na()"));
  test::WriteBytes("vcwk012345/FunctionList4/n2", record(" NO_CALL_FUNCTION \r\na()"));
  test::WriteBytes("vcwk012345/FunctionList4/n3", record("a()"));
  test::WriteBytes("vcwk012345/FunctionList4/n4", "[SOURCE]");
  Draw({"n1", "n2", "n3", "n4"});
  EXPECT_EQ(Text(), Tree(0, "n1") + Tree(0, "n2") + Tree(0, "n3") + "\t|--a[non]\r\n" + Tree(0, "n4"));
}

TEST_F(CallTreeWriterTest, VariableLinesFollowTheNodeInTheRamTree) {
  test::WriteRecord({"r", {"g()"}, {}, {"cnt", "buf[]"}});
  test::WriteRecord({"g", {}, {"p->x", "mode"}, {"out"}});
  Draw({"r"});
  const std::string tabs(15, '\t');
  EXPECT_EQ(Ram(), Tree(0, "r") + tabs + "W\tcnt\r\n" + tabs + "W\tbuf[]\r\n" + Tree(1, "g") +
                       tabs + "R\tp->x\r\n" + tabs + "R\tmode\r\n" + tabs + "W\tout\r\n");
}

TEST_F(CallTreeWriterTest, ReadLinesComeFromEveryReadSectionBeforeTheWrites) {
  test::WriteBytes("vcwk012345/FunctionList4/f",
                   Sj("[参照変数]\r\na\r\nNONE\r\nb\r\n[参照変数]\r\nc\r\n\r\n"
                      "[書込み変数]\r\nw\r\n\r\n[参照変数]\r\nlate\r\n"));
  test::WriteBytes("vcwk012345/FunctionList4/g", Sj("[参照変数]\r\nonly"));
  Draw({"f", "g"});
  const std::string tabs(15, '\t');
  EXPECT_EQ(Ram(), Tree(0, "f") + tabs + "R\ta\r\n" + tabs + "R\tc\r\n" + tabs + "W\tw\r\n" +
                       Tree(0, "g") + tabs + "R\tonly\r\n");
}

// f0 calls f1 and f2, f1 calls f2 and f3, ...: the full tree grows with the
// Fibonacci numbers.
void WriteLadder(int n) {
  for (int i = 0; i < n; ++i) {
    RecordSpec r{"f" + std::to_string(i)};
    for (int k = i + 1; k <= i + 2 && k < n; ++k) r.calls.push_back("f" + std::to_string(k) + "()");
    test::WriteRecord(r);
  }
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(text.substr(at, end - at));
  return lines;
}

std::set<std::string> Names(const std::string& text) {
  std::set<std::string> names;
  for (std::string l : Lines(text)) {
    size_t at = l.find("--");
    if (at != std::string::npos) names.insert(l.substr(at + 2));
  }
  return names;
}

int CountOf(const std::string& text, const std::string& piece) {
  int n = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

TEST_F(CallTreeWriterTest, ASpentBudgetGoesOnInCompactFormWithEveryFunction) {
  WriteLadder(14);
  Draw({"f0"});
  const std::vector<std::string> full = Lines(Text());
  ASSERT_EQ(full.size(), 986u);  // fib(16) - 1 nodes, far below the budget
  EXPECT_FALSE(fs::exists("AnalyzeLog.txt"));

  fs::remove(std::string(kDir) + "call_tree.txt");
  Draw({"f0"}, {40, 1000000});
  const std::vector<std::string> compact = Lines(Text());
  // The lines up to the budget are those of the full tree; after them a
  // function is expanded again only where it is reached higher up.
  ASSERT_GT(compact.size(), 40u);
  EXPECT_TRUE(std::equal(compact.begin(), compact.begin() + 40, full.begin()));
  EXPECT_LT(compact.size(), full.size() / 5);
  EXPECT_EQ(Names(Text()).size(), 14u);
  std::string log = test::ReadBytes("AnalyzeLog.txt");
  EXPECT_EQ(CountOf(log, "CALL TREE LIMIT"), 1) << log;
  EXPECT_EQ(log.rfind("f0 : 40 : CALL TREE LIMIT : ", 0), 0u) << log;
}

TEST_F(CallTreeWriterTest, ADenseProgramStaysWithinItsBudget) {
  WriteLadder(60);  // the full tree would hold about 10^8 lines
  Draw({"f0"}, {1000, 1000000});
  // After the budget each function is expanded twice at most: 117 call entries.
  EXPECT_LT(Lines(Text()).size(), 1000u + 2 * 117 + 1);
  // f50 lies 25 calls below f0; the depth limit keeps f51 to f59 out.
  EXPECT_EQ(Names(Text()).size(), 51u);
  EXPECT_EQ(Lines(Ram()).size(), Lines(Text()).size());
}

TEST_F(CallTreeWriterTest, TheVariableLinesOfTheRamTreeSpendTheBudgetToo) {
  // Each of the 60 functions reads 40 variables and writes 10.
  std::vector<std::string> reads, writes;
  for (int v = 0; v < 40; ++v) reads.push_back("r" + std::to_string(v));
  for (int v = 0; v < 10; ++v) writes.push_back("w" + std::to_string(v));
  for (int i = 0; i < 60; ++i) {
    RecordSpec r{"f" + std::to_string(i), {}, reads, writes};
    for (int k = i + 1; k <= i + 2 && k < 60; ++k) r.calls.push_back("f" + std::to_string(k) + "()");
    test::WriteRecord(r);
  }
  Draw({"f0"}, {1000, 1000000});
  // Once 1000 lines are out, at most 2 * 117 + 1 nodes follow, 51 lines each.
  EXPECT_LT(Lines(Ram()).size(), 1000u + 51 * (2 * 117 + 1) + 51);
  EXPECT_EQ(Names(Text()).size(), 51u);
}

TEST_F(CallTreeWriterTest, InCompactFormAnExpandedFunctionGetsOnlyItsNodeLine) {
  test::WriteRecord({"r", {"a()", "b()"}});
  test::WriteRecord({"a", {"c()"}});
  test::WriteRecord({"b", {"c()", "x()"}});
  test::WriteRecord({"c", {"d()"}});
  test::WriteRecord({"d", {}});
  Draw({"r"}, {1, 1000000});
  EXPECT_EQ(Text(), Tree(0, "r") + Tree(1, "a") + Tree(2, "c") + Tree(3, "d") + Tree(1, "b") +
                        Tree(2, "c") + "\t|\t|--x[non]\r\n");
}

TEST_F(CallTreeWriterTest, AFunctionFirstDrawnAtTheDepthLimitIsExpandedHigherUp) {
  // r -> d1 -> ... -> d24 -> g reaches g at depth 25, where its callee h is
  // cut; r -> g reaches it again at depth 1, after the budget is spent.
  for (int i = 1; i < 24; ++i) test::WriteRecord({"d" + std::to_string(i), {"d" + std::to_string(i + 1) + "()"}});
  test::WriteRecord({"d24", {"g()"}});
  test::WriteRecord({"r", {"d1()", "g()"}});
  test::WriteRecord({"g", {"h()"}});
  test::WriteRecord({"h", {}});
  Draw({"r"}, {10, 1000000});
  EXPECT_EQ(Text().substr(Text().size() - 29), "*IndentOver\r\n" + Tree(1, "g") + Tree(2, "h"));
}

TEST_F(CallTreeWriterTest, ASpentRunBudgetMakesTheFollowingRootsCompact) {
  WriteLadder(14);
  test::WriteRecord({"second", {"f0()"}});
  Draw({"f0", "second"}, {1000000, 100});
  std::vector<std::string> lines = Lines(Text());
  auto second = std::find(lines.begin(), lines.end(), "--second");
  ASSERT_NE(second, lines.end());
  EXPECT_LT(lines.end() - second, 986 / 5);
  std::string log = test::ReadBytes("AnalyzeLog.txt");
  EXPECT_EQ(CountOf(log, "CALL TREE LIMIT"), 1) << log;
}

TEST_F(CallTreeWriterTest, OnceTheRunsBudgetIsSpentAnExpandedFunctionGetsItsNodeLineAloneInLaterTrees) {
  test::WriteRecord({"r1", {"a()"}});
  test::WriteRecord({"r2", {"a()", "c()"}});
  test::WriteRecord({"a", {"b()"}, {"x"}, {"y"}});
  test::WriteRecord({"b", {}, {"z"}});
  test::WriteRecord({"c", {"b()"}});
  Draw({"r1", "r2"}, {1000000, 2});
  // a and b keep their variable lines and subtree where r1's tree expands
  // them; r2's tree draws their node lines alone, at the depths they had.
  const std::string tabs(15, '\t');
  EXPECT_EQ(Text(), Tree(0, "r1") + Tree(1, "a") + Tree(2, "b") + Tree(0, "r2") + Tree(1, "a") + Tree(1, "c") +
                        Tree(2, "b"));
  EXPECT_EQ(Ram(), Tree(0, "r1") + Tree(1, "a") + tabs + "R\tx\r\n" + tabs + "W\ty\r\n" + Tree(2, "b") + tabs +
                       "R\tz\r\n" + Tree(0, "r2") + Tree(1, "a") + Tree(1, "c") + Tree(2, "b"));
  std::string log = test::ReadBytes("AnalyzeLog.txt");
  EXPECT_EQ(log, "r1 : 2 : CALL TREE LIMIT : " +
                     Sj("全ツリー行数が上限に達しました。以降はどの基点関数でも、展開済みの関数を再展開しません") +
                     "\r\n");
}

TEST_F(CallTreeWriterTest, AFunctionFirstExpandedAtTheDepthLimitIsExpandedAgainWhereALaterRootReachesItHigher) {
  // r1 reaches g at depth 25, where its callee h is cut; r2 reaches it at depth 1.
  for (int i = 1; i < 24; ++i)
    test::WriteRecord({"d" + std::to_string(i), {"d" + std::to_string(i + 1) + "()"}, {}, {}, {}, {{"r"}}});
  test::WriteRecord({"d24", {"g()"}, {}, {}, {}, {{"d23"}}});
  test::WriteRecord({"r1", {"d1()"}});
  test::WriteRecord({"r2", {"g()", "d1()"}});
  test::WriteRecord({"g", {"h()"}, {}, {}, {}, {{"d24", "r2"}}});
  test::WriteRecord({"h", {}, {}, {}, {}, {{"g"}}});
  Draw({"r1", "r2"}, {1000000, 1});
  EXPECT_EQ(CountOf(Text(), "--h\r\n"), 1);
  const std::string r2 = Tree(0, "r2") + Tree(1, "g") + Tree(2, "h") + Tree(1, "d1");
  EXPECT_EQ(Text().substr(Text().size() - r2.size()), r2);
}

TEST_F(CallTreeWriterTest, AfterTheRunsBudgetAFunctionIsExpandedAgainOnlyWhereAnyRootReachesItHighest) {
  // f stands at depth 3 below r1, 2 below r2 and 1 below r3.
  test::WriteRecord({"r1", {"a1()"}});
  test::WriteRecord({"a1", {"a2()"}, {}, {}, {}, {{"r1"}}});
  test::WriteRecord({"a2", {"f()"}, {}, {}, {}, {{"a1"}}});
  test::WriteRecord({"r2", {"b1()"}});
  test::WriteRecord({"b1", {"f()"}, {}, {}, {}, {{"r2"}}});
  test::WriteRecord({"r3", {"f()"}});
  test::WriteRecord({"f", {"h()"}, {"x"}, {}, {}, {{"a2", "b1", "r3"}}});
  test::WriteRecord({"h", {}, {}, {}, {}, {{"f"}}});
  Draw({"r1", "r2", "r3"}, {1000000, 1});
  EXPECT_EQ(Text(), Tree(0, "r1") + Tree(1, "a1") + Tree(2, "a2") + Tree(3, "f") + Tree(4, "h") + Tree(0, "r2") +
                        Tree(1, "b1") + Tree(2, "f") + Tree(0, "r3") + Tree(1, "f") + Tree(2, "h"));
  EXPECT_EQ(CountOf(Ram(), "R\tx\r\n"), 2);
}

TEST_F(CallTreeWriterTest, TheRunsBudgetIsWatchedInATreeThatIsAlreadyCompact) {
  WriteLadder(14);
  test::WriteRecord({"second", {"f0()"}});
  // f0's tree is compact after 10 lines; the run's 30 are spent in it.
  Draw({"f0", "second"}, {10, 30});
  std::string log = test::ReadBytes("AnalyzeLog.txt");
  EXPECT_EQ(CountOf(log, "f0 : 10 : CALL TREE LIMIT : "), 1) << log;
  EXPECT_EQ(CountOf(log, "f0 : 30 : CALL TREE LIMIT : "), 1) << log;
  EXPECT_EQ(CountOf(log, "CALL TREE LIMIT"), 2) << log;
  // second's tree is then compact from its start: f0 alone below it.
  std::vector<std::string> lines = Lines(Text());
  EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()), (std::vector<std::string>{"--second", "\t|--f0"}));
}

// The functions noted while drawing against a reading of the finished
// call_tree.txt, on generated programs whose names hold the pieces that the
// reading removes or skips, and a "|" that is the trail byte of "−".
TEST_F(CallTreeWriterTest, TheNotedFunctionsAreWhatAReadingOfTheTreeGives) {
  const std::vector<std::string> pool = {"main", "a--b", "x|y", "n[non]", "m*IndentOver", "ア−",
                                         "−", "p-", "-q", "f", "[non]", "r|", "|s", "t"};
  for (unsigned seed = 1; seed <= 8; ++seed) {
    fs::remove_all("vcwk012345");
    fs::create_directories(kDir);
    fs::create_directories("vcwk012345/FunctionList4");
    std::mt19937 rnd(seed);
    std::vector<std::string> names;
    for (size_t i = 0; i < pool.size(); ++i)
      if (rnd() % 4 != 0) names.push_back(pool[i]);  // the others are called without a record
    for (const std::string& n : names) {
      RecordSpec r{n};
      for (unsigned c = rnd() % 4; c > 0; --c) r.calls.push_back(pool[rnd() % pool.size()] + "()");
      test::WriteRecord(r);
    }
    CallTreeRun run("./vcwk012345/FunctionList4", {400, 3000});
    for (const std::string& root : names) {
      g_callTreeDepth = 0;
      DrawRoot(Sj(root.c_str()), run);
    }

    std::vector<TreeFunctionList::Function> read;
    std::set<std::string> seen;
    TextFile tree(std::string(kDir) + "call_tree.txt", TextFile::Mode::Read);
    for (std::string line; tree.ReadLine(line);) {
      if (MbContains(line, "*IndentOver")) continue;
      std::string name = MbRemoveAll(MbRemoveAll(line, "\t"), "|");
      name = MbRemoveAll(MbRemoveAll(name, "[non]"), "--");
      if (seen.insert(name).second) read.push_back({name, !MbContains(line, "\t|")});
    }
    const auto& noted = run.textFunctions.Functions();
    ASSERT_EQ(noted.size(), read.size()) << seed;
    for (size_t i = 0; i < read.size(); ++i) {
      EXPECT_EQ(noted[i].name, read[i].name) << seed;
      EXPECT_EQ(noted[i].rootLine, read[i].rootLine) << seed << " " << read[i].name;
    }
  }
}

}  // namespace
}  // namespace vandrel
