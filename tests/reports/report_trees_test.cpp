#include "reports/report_trees.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "reports/call_tree_writer.h"
#include "reports/report_fixture.h"
#include "run/run_state.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::CrLfLines;
using test::RecordSpec;
using test::Sj;

const std::string kHead = Sj(
    "<BODY bgcolor='white' link='black' vlink='black' alink='black'><font color='black'>"
    "基点関数<BR><BR>");
const std::string kIndexHead =
    Sj("ツリー基点 関数<BR><BR>\r\n<A href= .\\call_tree.txt target='view'>全ツリー表示</A><BR>\r\n");

struct FunctionCounts {
  std::string name;
  int all, reads, writes;
};

// A variable's text page: each function's name and counts, then the totals.
std::string TextPage(const std::vector<FunctionCounts>& functions) {
  std::vector<std::string> lines;
  FunctionCounts total{"総アクセス数", 0, 0, 0};
  auto counts = [&](const FunctionCounts& c) {
    lines.push_back(c.name);
    lines.push_back("\t" + std::to_string(c.all) + " アクセス");
    lines.push_back("\t(R) " + std::to_string(c.reads) + " アクセス");
    lines.push_back("\t(W) " + std::to_string(c.writes) + " アクセス");
  };
  for (const FunctionCounts& c : functions) {
    counts(c);
    total.all += c.all;
    total.reads += c.reads;
    total.writes += c.writes;
  }
  lines.push_back("");
  counts(total);
  return CrLfLines(lines);
}

class ReportTreesTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    fs::create_directories("vcwk012345/HTML/CallTree");
    fs::create_directories("vcwk012345/FunctionList4");
    test::WriteBytes("vcwk012345/HTML/CallTree/CallTree_index.html", kIndexHead);
    g_abortRequested = 0;
  }
  void TearDown() override {
    g_abortRequested = 0;
    TempDirTest::TearDown();
  }
  static std::string Tree(const std::string& name) {
    return test::ReadBytes("vcwk012345/HTML/CallTree/" + name);
  }
  static std::string Work(const std::string& name) { return test::ReadBytes("vcwk012345/" + name); }

  test::RecordingHost host;
};

TEST_F(ReportTreesTest, AProgramWithoutRootHasEmptyTreesAndZeroCounts) {
  test::WriteRecord({"a", {"b()"}, {}, {"cnt"}, {"cnt [w]"}, {{"b"}}});
  test::WriteRecord({"b", {"a()"}, {}, {}, {"cnt [R]"}, {{"a"}}});
  test::WriteWorkLines("ValList.txt", {"int\tcnt\t;"});
  EXPECT_EQ(WriteReportTrees(), StepResult::Done);
  EXPECT_EQ(Tree("CallTree_index.html"), kIndexHead);
  EXPECT_EQ(Tree("call_tree.txt"), "");
  EXPECT_EQ(Tree("call_tree_ram.txt"), "");
  EXPECT_EQ(Tree("call_tree.html"), kHead);
  EXPECT_EQ(Work("RAM/cnt"), TextPage({}));
  EXPECT_EQ(Work("HTML/RAM/cnt.html"), "<BODY bgcolor=#CCFFFF><H5>");
}

TEST_F(ReportTreesTest, OnlyTheFirstRootPageBeginsWithTheHead) {
  test::WriteRecord({"r1", {"x()"}});
  test::WriteRecord({"r2", {}});
  test::WriteRecord({"x", {}, {}, {}, {}, {{"r1"}}});
  test::WriteBytes("vcwk012345/FunctionList4/stub", "Not Found Function");
  EXPECT_EQ(WriteReportTrees(), StepResult::Done);
  const std::string g1 = Sj("　　　|");
  auto link = [&](const std::string& indent, const std::string& n) {
    return "<font size='2'>" + indent + "--</font><A href= ..\\" + n + ".html target='view'>" + n +
           "</A><BR>\r\n";
  };
  EXPECT_EQ(Tree("CallTree_r1.html"), kHead + link(g1, "r1") + link(g1 + g1, "x"));
  EXPECT_EQ(Tree("CallTree_r2.html"), link(g1, "r2"));
  EXPECT_FALSE(fs::exists("vcwk012345/HTML/CallTree/call_tree.html"));
  EXPECT_EQ(Tree("CallTree_index.html"),
            kIndexHead + "<A href= CallTree_r1.html target='mid'>r1</A><BR>\r\n" +
                "<A href= CallTree_r2.html target='mid'>r2</A><BR>\r\n");
  EXPECT_EQ(Tree("call_tree.txt"), "--r1\r\n\t|--x\r\n--r2\r\n");
  std::vector<std::string> details = host.statusDetails;
  EXPECT_EQ(std::vector<std::string>(details.begin(), details.begin() + 4),
            (std::vector<std::string>{"r1", "r2", "stub", "x"}));
}

TEST_F(ReportTreesTest, TheRootTestReadsTheLineAfterTheCallerTag) {
  RecordSpec called{"called", {}, {}, {}, {}, {{"main"}}};
  test::WriteRecord(called);
  test::WriteBytes("vcwk012345/FunctionList4/emptyAfter", Sj("[コール元]\r\n\r\nmain\r\n"));
  test::WriteBytes("vcwk012345/FunctionList4/endsAtTag", Sj("[関数名称]\r\nendsAtTag\r\n\r\n[コール元]"));
  test::WriteBytes("vcwk012345/FunctionList4/noCallerSection", Sj("[関数名称]\r\nx\r\n"));
  EXPECT_EQ(WriteReportTrees(), StepResult::Done);
  EXPECT_EQ(Tree("call_tree.txt"), "--emptyAfter\r\n--endsAtTag\r\n");
}

// A variable written twice by g and read once by h, both called from main,
// which does not touch it.
TEST_F(ReportTreesTest, TheThirteenLineExample) {
  test::WriteRecord({"main", {"g()", "h()", "g()"}, {}, {}, {"other [w]"}});
  test::WriteRecord({"g", {}, {}, {}, {"v [w]", "v [w]"}, {{"main"}}});
  test::WriteRecord({"h", {}, {}, {}, {"v [R]"}, {{"main"}}});
  test::WriteWorkLines("ValList.txt", {"int\tv\t;"});
  EXPECT_EQ(WriteReportTrees(), StepResult::Done);
  EXPECT_EQ(Work("RAM/v"), TextPage({{"g", 2, 0, 2}, {"h", 1, 1, 0}}));
  EXPECT_EQ(Work("HTML/RAM/v.html"),
            "<BODY bgcolor=#CCFFFF><H5>" +
                CrLfLines({"<A href= ..\\g.html>g</A><BR>", "　　　v [w]<BR>", "　　　v [w]<BR>",
                           "<BR>", "<A href= ..\\h.html>h</A><BR>", "　　　v [R]<BR>", "<BR>"}));
}

TEST_F(ReportTreesTest, AccessEntriesMatchAndCountAsTheyAreWritten) {
  // xcnt ends in cnt, so its entries match too; a member entry matches only
  // with cnt directly before its ".".
  test::WriteRecord({"main", {"f()"}, {}, {}, {"cnt [R]", "cnt [RET]", "xcnt [w]", "s.cnt [w]", "cnt.m [w]"}});
  test::WriteBytes("vcwk012345/FunctionList4/f",
                   Sj("[変数アクセス情報]\r\ncnt [R]\r\nNONE\r\ncnt [w]\r\n"));
  test::WriteWorkLines("ValList.txt", {"int\tcnt\t;", "", "int\tcnt\t;"});
  EXPECT_EQ(WriteReportTrees(), StepResult::Done);
  EXPECT_EQ(Work("RAM/cnt"), TextPage({{"main", 4, 1, 3}, {"f", 1, 1, 0}}));
  EXPECT_EQ(Work("HTML/RAM/cnt.html"),
            "<BODY bgcolor=#CCFFFF><H5>" +
                CrLfLines({"■基点関数<BR>", "<A href= ..\\main.html>main</A><BR>", "　　　cnt [R]<BR>",
                           "　　　cnt [RET]<BR>", "　　　xcnt [w]<BR>", "　　　cnt.m [w]<BR>", "<BR>",
                           "<A href= ..\\f.html>f</A><BR>", "　　　cnt [R]<BR>", "<BR>"}));
}

// Access entries and names are escaped on the HTML pages and kept in the
// text pages and trees.
TEST_F(ReportTreesTest, SourceTextsAreEscapedOnTheHtmlPagesOnly) {
  test::WriteRecord({"main", {"s_ops->run(a)"}, {}, {}, {"g_st.a<g_n [R]", "g_st.b&表>1 [w]"}});
  test::WriteRecord({"operator<", {}, {}, {}, {"g_st.c [w]"}});
  test::WriteWorkLines("ValList.txt", {"ST\tg_st\t;"});
  EXPECT_EQ(WriteReportTrees(), StepResult::Done);
  std::string mainLines = CrLfLines({"■基点関数<BR>", "<A href= ..\\main.html>main</A><BR>",
                                     "　　　g_st.a&lt;g_n [R]<BR>", "　　　g_st.b&amp;表&gt;1 [w]<BR>", "<BR>"});
  std::string opLines = CrLfLines({"■基点関数<BR>", "<A href= ..\\operator<.html>operator&lt;</A><BR>",
                                   "　　　g_st.c [w]<BR>", "<BR>"});
  FunctionCounts mainCounts{"main", 2, 1, 1}, opCounts{"operator<", 1, 0, 1};
  // The roots stand in the order of the folder.
  if (!Tree("call_tree.txt").starts_with("--main")) {
    std::swap(mainLines, opLines);
    std::swap(mainCounts, opCounts);
  }
  EXPECT_EQ(Work("HTML/RAM/g_st.html"), "<BODY bgcolor=#CCFFFF><H5>" + mainLines + opLines);
  EXPECT_EQ(Work("RAM/g_st"), TextPage({mainCounts, opCounts}));
  EXPECT_NE(Tree("CallTree_index.html").find("<A href= CallTree_operator<.html target='mid'>operator&lt;</A><BR>"),
            std::string::npos);
  const std::string g2 = Sj("　　　|　　　|");
  EXPECT_NE(Tree("CallTree_main.html").find("<font size='2'>" + g2 + "--</font><font size='2'>s_ops-&gt;run[non]</font>"),
            std::string::npos);
  EXPECT_NE(Tree("call_tree.txt").find("--main\r\n\t|--s_ops->run[non]\r\n"), std::string::npos);
}

TEST_F(ReportTreesTest, AFunctionCountsOnceAtItsFirstLineInTheTree) {
  // f stands under two callers and under a cycle that no root reaches: c1 -> c2 -> c1.
  test::WriteRecord({"main", {"a()", "b()"}});
  test::WriteRecord({"a", {"f()"}, {}, {}, {}, {{"main"}}});
  test::WriteRecord({"b", {"f()", "gone()"}, {}, {}, {}, {{"main"}}});
  test::WriteRecord({"f", {}, {}, {}, {"v [R]"}, {{"a", "b"}}});
  test::WriteRecord({"c1", {"c2()"}, {}, {}, {"v [w]"}, {{"c2"}}});
  test::WriteRecord({"c2", {"c1()"}, {}, {}, {"v [w]"}, {{"c1"}}});
  test::WriteWorkLines("ValList.txt", {"int\tv\t;"});
  EXPECT_EQ(WriteReportTrees(), StepResult::Done);
  EXPECT_EQ(Work("RAM/v"), TextPage({{"f", 1, 1, 0}}));
}

TEST_F(ReportTreesTest, AnAccessSectionThatRunsToTheEndOfTheRecordGetsNoBreak) {
  test::WriteBytes("vcwk012345/FunctionList4/r", Sj("[コール元]\r\nNONE_CALLER\r\n[変数アクセス情報]\r\nv [w]"));
  test::WriteWorkLines("ValList.txt", {"int\tv\t;"});
  EXPECT_EQ(WriteReportTrees(), StepResult::Done);
  EXPECT_EQ(Work("HTML/RAM/v.html"),
            "<BODY bgcolor=#CCFFFF><H5>" +
                CrLfLines({"■基点関数<BR>", "<A href= ..\\r.html>r</A><BR>", "　　　v [w]<BR>"}));
}

TEST_F(ReportTreesTest, ARootWhosePageNameIsTakenIsLoggedAndTheStepGoesOn) {
  test::WriteRecord({"index", {}});
  test::WriteRecord({"main", {}});
  EXPECT_EQ(WriteReportTrees(), StepResult::Done);
  EXPECT_EQ(Tree("CallTree_index.html"), kIndexHead + "<A href= CallTree_main.html target='mid'>main</A><BR>\r\n");
  // The next page begins as it would have without that root.
  EXPECT_EQ(Tree("CallTree_main.html"),
            kHead + Sj("<font size='2'>　　　|--</font><A href= ..\\main.html target='view'>main</A><BR>\r\n"));
  EXPECT_EQ(Tree("call_tree.txt"), "--index\r\n--main\r\n");
  EXPECT_EQ(test::ReadBytes("AnalyzeLog.txt"),
            Sj("プログラム解析 ./vcwk012345/HTML/CallTree/CallTree_index.html : PAGE NAME IN USE\r\n"));
}

TEST_F(ReportTreesTest, NoRecordFolderStopsTheRun) {
  fs::remove_all("vcwk012345/FunctionList4");
  EXPECT_EQ(WriteReportTrees(), StepResult::Stopped);
  EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{Sj("該当関数が存在しません")});
}

TEST_F(ReportTreesTest, TreeFilesThatCannotBeCreatedStopTheRun) {
  fs::create_directories("vcwk012345/HTML/CallTree/call_tree_ram.txt");
  test::WriteRecord({"main", {}});
  EXPECT_EQ(WriteReportTrees(), StepResult::Stopped);
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(ReportTreesTest, VariablePagesWithoutListOrFolder) {
  test::WriteRecord({"main", {}});
  EXPECT_EQ(WriteReportTrees(), StepResult::Done);
  EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{Sj("RAMListが存在しません")});

  host.boxes.clear();
  test::WriteWorkLines("ValList.txt", {"int\tv\t;", "int\t..\t;"});
  fs::remove_all("vcwk012345/HTML/CallTree");
  fs::create_directories("vcwk012345/HTML/CallTree");
  fs::remove_all("vcwk012345/RAM");
  fs::remove_all("vcwk012345/HTML/RAM");
  test::WriteBytes("vcwk012345/HTML/RAM", "");  // a file where the folder belongs
  EXPECT_EQ(WriteReportTrees(), StepResult::Done);
  EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{Sj("RAM HTML作成失敗")});
  EXPECT_TRUE(fs::exists("vcwk012345/RAM/v"));
  EXPECT_NE(test::ReadBytes("AnalyzeLog.txt").find("[..] : NOT A FILE NAME"), std::string::npos);
}

// Lines of every file below the folders.
long LinesBelow(const std::vector<std::string>& folders) {
  long lines = 0;
  for (const std::string& folder : folders)
    for (const auto& e : fs::recursive_directory_iterator(folder))
      if (e.is_regular_file()) {
        const std::string bytes = test::ReadBytes(e.path());
        lines += std::count(bytes.begin(), bytes.end(), '\n');
      }
  return lines;
}

// Every root reaches all of one densely connected graph, whose full tree
// would be far too large to draw once, let alone once per root. What the
// step writes from the trees stays within the run's budget (in each of the
// three tree files) plus a few lines per function, call entry and variable
// entry, however many roots there are.
TEST_F(ReportTreesTest, TheTreesOfManyRootsOverOneGraphStayInProportionToTheProgram) {
  const CallTreeLimits saved = g_callTreeLimits;
  g_callTreeLimits = {300, 2000};
  const int graph = 40;
  auto g = [](int i) { return "g" + std::to_string(i % 40); };
  auto v = [](int i) { return "v" + std::to_string(i % 10); };
  for (int roots : {10, 100, 1000}) {
    fs::remove_all("vcwk012345");
    SetUp();
    long calls = 0, entries = 0;
    for (int i = 0; i < graph; ++i) {
      RecordSpec r{g(i), {g(i + 1) + "()", g(i + 7) + "()", g(3 * i + 5) + "()", g(i * i + 11) + "()"},
                   {v(i), v(i + 3), v(i + 6)}, {v(i + 1), v(i + 5)},
                   {v(i) + " [R]", v(i + 3) + " [R]", v(i + 6) + " [R]", v(i + 1) + " [w]", v(i + 5) + " [w]"},
                   {{"r0"}}};
      test::WriteRecord(r);
      calls += 4;
      entries += 10;
    }
    char name[16];
    for (int k = 0; k < roots; ++k) {
      std::snprintf(name, sizeof name, "r%04d", k);
      test::WriteRecord({name, {g(k) + "()", g(13 * k + 2) + "()"}});
      calls += 2;
    }
    std::vector<std::string> list;
    for (int i = 0; i < 10; ++i) list.push_back("int\t" + v(i) + "\t;");
    test::WriteWorkLines("ValList.txt", list);

    ASSERT_EQ(WriteReportTrees(), StepResult::Done);
    const long functions = graph + roots;
    const long bound = 3 * g_callTreeLimits.linesPerRun + 8 * (functions + calls + entries);
    const long lines = LinesBelow({"vcwk012345/HTML/CallTree", "vcwk012345/RAM", "vcwk012345/HTML/RAM"});
    EXPECT_LT(lines, bound) << roots << " roots";

    // Every function still appears in the whole-program tree.
    std::set<std::string> drawn;
    std::istringstream tree(Tree("call_tree.txt"));
    for (std::string line; std::getline(tree, line, '\r');) {
      const size_t at = line.find("--");
      if (at != std::string::npos) drawn.insert(line.substr(at + 2));
    }
    EXPECT_EQ(drawn.size(), static_cast<size_t>(functions)) << roots << " roots";
    EXPECT_TRUE(drawn.count(g(graph - 1)) && drawn.count(name)) << roots << " roots";
    const std::string log = test::ReadBytes("AnalyzeLog.txt");
    EXPECT_NE(log.find(" : 2000 : CALL TREE LIMIT : "), std::string::npos) << log;
  }
  g_callTreeLimits = saved;
}

TEST_F(ReportTreesTest, TheAbortFlagEndsTheStep) {
  test::WriteRecord({"main", {}});
  g_abortRequested = 1;
  EXPECT_EQ(WriteReportTrees(), StepResult::Aborted);
  EXPECT_FALSE(fs::exists("vcwk012345/HTML/CallTree/CallTree_main.html"));
}

}  // namespace
}  // namespace vandrel
