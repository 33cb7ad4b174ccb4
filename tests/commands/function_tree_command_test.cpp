#include "commands/function_tree_command.h"

#include <gtest/gtest.h>

#include <regex>

#include "commands/query_frame.h"
#include "reports/call_tree_writer.h"
#include "reports/function_tree_records.h"
#include "run/run_state.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::commands::ReadText;
using test::Sj;
using test::commands::WriteCalls;

class FunctionTreeTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    fs::create_directories("out");
    fs::create_directories("vcwk012345/HTML/CallTree");
    fs::create_directories("vcwk012345/FunctionList4");
    test::commands::MarkRunCompleted();
  }
  bool Run(const std::string& name, const std::string& output = "out") {
    QueryRequest request;
    request.typedText = name;
    request.outputFolder = output;
    return OnButton7(request);
  }
  // The run folders made below CallTree.
  std::vector<fs::path> RunFolders() {
    std::vector<fs::path> folders;
    for (const auto& e : fs::directory_iterator("vcwk012345/HTML/CallTree")) folders.push_back(e.path());
    return folders;
  }
  std::string Tree(const std::string& name) {
    auto folders = RunFolders();
    if (folders.size() != 1) return "<" + std::to_string(folders.size()) + " run folders>";
    return ReadText((folders[0] / ("call_tree_" + name + ".txt")).string());
  }

  test::RecordingHost host;
};

TEST_F(FunctionTreeTest, TheRunStamp) {
  std::tm t{};
  t.tm_year = 121;
  t.tm_mon = 11;
  t.tm_mday = 9;
  t.tm_hour = 9;
  t.tm_min = 50;
  t.tm_sec = 12;
  EXPECT_EQ(MakeRunStamp("main", t), "1209095012_main");
  t.tm_mon = 0;
  t.tm_mday = 31;
  t.tm_hour = 23;
  t.tm_min = 0;
  t.tm_sec = 0;
  EXPECT_EQ(MakeRunStamp(Sj("表示"), t), "0131230000_" + Sj("表示"));
}

TEST_F(FunctionTreeTest, TheTextTree) {
  struct Case {
    const char* title;
    std::vector<std::pair<std::string, std::vector<std::string>>> records;  // function, calls
    std::string expected;
  } cases[] = {
      {"a root that calls nothing", {{"main", {}}}, "--main\n"},
      {"callees in order, each with its subtree",
       {{"main", {"a()", "int b (int x)"}}, {"a", {"c(1)"}}, {"b", {}}, {"c", {}}},
       "--main\n\t|--a\n\t|\t|--c\n\t|--b\n"},
      {"a callee without record is not expanded", {{"main", {"x(y)", "b()"}}, {"b", {}}},
       "--main\n\t|--x[non]\n\t|--b\n"},
      {"the no-call marker", {{"main", {" NO_CALL_FUNCTION "}}}, "--main\n"},
      {"a callee after an empty line is not read", {{"main", {"a()", "", "b()"}}, {"a", {}}, {"b", {}}},
       "--main\n\t|--a\n"},
      {"a function reached twice is drawn twice", {{"main", {"a()", "a()"}}, {"a", {"b()"}}, {"b", {}}},
       "--main\n\t|--a\n\t|\t|--b\n\t|--a\n\t|\t|--b\n"},
  };
  for (const Case& c : cases) {
    fs::remove_all("vcwk012345/FunctionList4");
    fs::remove_all("vcwk012345/HTML/CallTree");
    fs::create_directories("vcwk012345/HTML/CallTree");
    for (const auto& [function, calls] : c.records) WriteCalls(function, calls);
    EXPECT_TRUE(Run("main")) << c.title;
    EXPECT_EQ(Tree("main"), c.expected) << c.title;
  }
}

TEST_F(FunctionTreeTest, ACycleEndsAtTheDepthLimit) {
  WriteCalls("r", {"r()", "b()"});
  WriteCalls("b", {});
  EXPECT_TRUE(Run("r"));
  std::string expected;
  auto indent = [](int d) {
    std::string s;
    for (int i = 0; i < d; ++i) s += "\t|";
    return s;
  };
  for (int d = 0; d <= 25; ++d) expected += indent(d) + "--r\n";
  expected += "*インデントオーバー\n";
  // The level at 25 ends at the marker; every level above goes on with b.
  for (int d = 25; d >= 1; --d) expected += indent(d) + "--b\n";
  EXPECT_EQ(Tree("r"), expected);
  std::string html = ReadText((RunFolders()[0] / "call_tree_r.html").string());
  EXPECT_NE(html.find("</A><BR>\n*インデントオーバー<BR>\n<font size='2'>"), std::string::npos);
  EXPECT_EQ(g_callTreeDepth.load(), 0);
}

TEST_F(FunctionTreeTest, TheRunFolderAndItsCopy) {
  WriteCalls("main", {"sub(1)", "gone()"});
  WriteCalls("sub", {});
  const std::string record = ReadBytes("vcwk012345/FunctionList4/main");
  EXPECT_TRUE(Run("main"));

  auto folders = RunFolders();
  ASSERT_EQ(folders.size(), 1u);
  const std::string stamp = folders[0].filename();
  EXPECT_TRUE(std::regex_match(stamp, std::regex("\\d{10}_main"))) << stamp;
  for (const fs::path& folder : {folders[0], fs::path("out") / stamp}) {
    EXPECT_EQ(ReadText((folder / "call_tree_main.txt").string()), "--main\n\t|--sub\n\t|--gone[non]\n");
    EXPECT_EQ(ReadText((folder / "call_tree_main.html").string()),
              "<BODY bgcolor='white' link='black' vlink='black' alink=' black'><font size='2'>"
              "<font color='black'>mainコールツリー<BR><BR>\n"
              "<font size='2'>--</font><A href= ..\\main.html target='_blank'>main</A><BR>\n"
              "<font size='2'>　　　|--</font><A href= ..\\sub.html target='_blank'>sub</A><BR>\n"
              "<font size='2'>　　　|--gone[non]</font><BR>\n"
              "</font></BODY><BR><BR>");
    EXPECT_EQ(ReadText((folder / "index.html").string()),
              "<html><head><title>プログラム ソルメダ</title></head><frameset cols='200,*'>"
              "<frame name='mid' src='.\\main'><frame name='view' src='.\\call_tree_main.txt'></frameset>");
    EXPECT_EQ(ReadBytes(folder / "main"), record);
  }
  EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{Sj("コールツリー作成完了")});
  EXPECT_EQ(host.boxes[0].caption, Sj("終了"));
  EXPECT_EQ(host.statusTexts,
            (std::vector<std::string>{Sj("コールツリーHTML作成中"), Sj("コールツリー完了"), Sj("コールツリー完了")}));
  EXPECT_EQ(host.opened, std::vector<std::string>{"out/" + stamp + "/index.html"});
  EXPECT_EQ(g_runParameters.m_outputFolder, "out");
  EXPECT_EQ(g_chosenFunctionName, "main");
}

// The HTML tree escapes the names it shows; the text tree keeps them.
TEST_F(FunctionTreeTest, NamesAreEscapedInTheHtmlTreeOnly) {
  WriteCalls("main", {"operator<(a)", "p->f(x)"});
  test::WriteBytes("vcwk012345/FunctionList4/operator<", "Not Found Function");
  EXPECT_TRUE(Run("main"));
  EXPECT_EQ(Tree("main"), "--main\n\t|--operator<\n\t|--p->f[non]\n");
  EXPECT_EQ(ReadText((RunFolders()[0] / "call_tree_main.html").string()),
            "<BODY bgcolor='white' link='black' vlink='black' alink=' black'><font size='2'>"
            "<font color='black'>mainコールツリー<BR><BR>\n"
            "<font size='2'>--</font><A href= ..\\main.html target='_blank'>main</A><BR>\n"
            "<font size='2'>　　　|--</font><A href= ..\\operator<.html target='_blank'>operator&lt;</A><BR>\n"
            "<font size='2'>　　　|--p-&gt;f[non]</font><BR>\n"
            "</font></BODY><BR><BR>");
}

TEST_F(FunctionTreeTest, TheChecks) {
  WriteCalls("main", {});
  struct Case {
    bool typed;
    std::string typedText, listText;
    bool removeRecords;
    const char* box;
  } cases[] = {
      {true, "", "main", false, "入力してください"},
      {false, "main", "SELECT FUNCTION", false, "リストから選択してください"},
      {true, "main", "", true, "解析結果がありません"},
      {true, "nosuch", "", false, "該当関数が存在しません"},
      {true, "main ", "", false, "該当関数が存在しません"},  // used unchanged
      {true, "../FunctionList4/main", "", false, "該当関数が存在しません"},
      {true, "..", "", false, "該当関数が存在しません"},
      {true, "..\\FunctionList4\\main", "", false, "該当関数が存在しません"},  // "\\" becomes "/" at the OS
  };
  for (const Case& c : cases) {
    if (c.removeRecords) fs::rename("vcwk012345/FunctionList4", "records");
    host.boxes.clear();
    QueryRequest request{c.typed, c.typedText, c.listText, "out"};
    EXPECT_FALSE(OnButton7(request)) << c.box;
    EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{Sj(c.box)}) << c.typedText;
    EXPECT_TRUE(RunFolders().empty()) << c.typedText;
    if (c.removeRecords) fs::rename("records", "vcwk012345/FunctionList4");
  }
  EXPECT_NE(ReadText("AnalyzeLog.txt").find("[../FunctionList4/main] : NOT A FILE NAME\n"), std::string::npos);

  host.boxes.clear();
  EXPECT_TRUE(OnButton7(QueryRequest{false, "", "main", "out"}));
  EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{Sj("コールツリー作成完了")});
}

TEST_F(FunctionTreeTest, AFailedCopyIsShownAndTheCommandGoesOn) {
  WriteCalls("main", {});
  host.openSucceeds = false;
  EXPECT_FALSE(Run("main", "nosuch"));
  EXPECT_EQ(host.BoxTexts(), (std::vector<std::string>{Sj("コピー失敗"), Sj("コールツリー作成完了"), Sj("起動失敗")}));
  ASSERT_EQ(RunFolders().size(), 1u);
  EXPECT_EQ(host.opened, std::vector<std::string>{"nosuch/" + RunFolders()[0].filename().string() + "/index.html"});
}

TEST_F(FunctionTreeTest, TheCatchAllHandlers) {
  WriteCalls("main", {"sub()"});
  WriteCalls("sub", {});
  {
    test::commands::ThrowingHost throwing;
    EXPECT_FALSE(Run(""));
  }
  EXPECT_EQ(ReadText("AnalyzeLog.txt"), "OnButton7 : 0 : 例外発生220 : -\n");

  // The writer's own box ("call_tree.txt 開けず") throws: its handler logs and
  // returns to its caller with the depth it was given.
  fs::remove("AnalyzeLog.txt");
  g_commandTreeTextPath = "nosuch/call_tree_main.txt";
  g_commandTreeHtmlPath = "nosuch/call_tree_main.html";
  g_callTreeDepth = 3;
  {
    test::commands::ThrowingHost throwing;
    SearchFile_WordAls_Btn7_DirectFunc("main", "vcwk012345/FunctionList4");
    EXPECT_EQ(throwing.BoxTexts(), std::vector<std::string>{Sj("call_tree.txt 開けず")});
  }
  EXPECT_EQ(g_callTreeDepth.load(), 3);
  EXPECT_EQ(ReadText("AnalyzeLog.txt"), "SearchFile_WordAls_Btn7_DirectFunc : 0 : 例外発生230 : -\n");
  g_callTreeDepth = 0;
}

TEST_F(FunctionTreeTest, ATextTreeThatCannotBeOpenedIsShownPerFunction) {
  WriteCalls("main", {"sub()", "gone()"});
  WriteCalls("sub", {});
  g_commandTreeTextPath = "nosuch/call_tree_main.txt";
  g_commandTreeHtmlPath = "nosuch/call_tree_main.html";
  SearchFile_WordAls_Btn7_DirectFunc("main", "vcwk012345/FunctionList4");
  // The root's box ends the root's drawing; a missing function shows none.
  EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{Sj("call_tree.txt 開けず")});
  host.boxes.clear();
  SearchFile_WordAls_Btn7_DirectFunc("gone", "vcwk012345/FunctionList4");
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(FunctionTreeTest, ADenseCallGraphEndsInTheCompactForm) {
  // Eight functions that all call each other: drawn in full, the tree below
  // f0 would have 8^25 lines. late is reached only after all of them.
  std::vector<std::string> all;
  for (int i = 0; i < 8; ++i) all.push_back("f" + std::to_string(i) + "()");
  for (int i = 0; i < 8; ++i) WriteCalls("f" + std::to_string(i), all);
  WriteCalls("root", {"c1()", "f0()", "late()", "x()"});
  WriteCalls("late", {"deep()"});
  WriteCalls("deep", {});
  // x first stands at depth 25 at the end of a chain c1 ... c24, where its
  // callee y is past the limit.
  for (int i = 1; i < 24; ++i) WriteCalls("c" + std::to_string(i), {"c" + std::to_string(i + 1) + "()"});
  WriteCalls("c24", {"x()"});
  WriteCalls("x", {"y()"});
  WriteCalls("y", {});
  EXPECT_TRUE(Run("root"));
  std::string tree = Tree("root");
  size_t lines = std::count(tree.begin(), tree.end(), '\n');
  EXPECT_LT(lines, 1000000u);
  EXPECT_EQ(tree.find("--y\n"), tree.size() - 4);  // nowhere before
  // Every function that the root reaches appears: late, and y below x
  // drawn again at a shallower depth.
  const std::string end = "\t|--late\n\t|\t|--deep\n\t|--x\n\t|\t|--y\n";
  ASSERT_GE(tree.size(), end.size());
  EXPECT_EQ(tree.substr(tree.size() - end.size()), end);
  std::string log = ReadText("AnalyzeLog.txt");
  // One entry marks where the compact form of the whole-program tree began.
  EXPECT_EQ(log.rfind("root : ", 0), 0u) << log;
  EXPECT_NE(log.find(" : CALL TREE LIMIT : "), std::string::npos) << log;
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
}

TEST_F(FunctionTreeTest, PastTheBudgetTheTreeGrowsWithTheCallEntriesOnly) {
  // 60 functions that call six others each: drawn in full, 6^25 lines.
  const int n = 60;
  auto f = [](int i) { return "n" + std::to_string(i % 60); };
  for (int i = 0; i < n; ++i)
    WriteCalls(f(i), {f(i + 1) + "()", f(2 * i + 1) + "()", f(3 * i + 2) + "()", f(i * i + 5) + "()",
                      f(7 * i + 11) + "()", f(i + 30) + "()"});
  const CallTreeLimits saved = g_callTreeLimits;
  g_callTreeLimits = {200, 1000000};
  EXPECT_TRUE(Run("n0"));
  g_callTreeLimits = saved;
  const std::string tree = Tree("n0");
  // Each function is expanded twice at most after the budget: its node
  // lines below it, and a depth-limit line.
  EXPECT_LT(std::count(tree.begin(), tree.end(), '\n'), 200 + 2 * (6 * n) + 2 * n + 1);
  for (int i = 0; i < n; ++i) EXPECT_NE(tree.find("--" + f(i) + "\n"), std::string::npos) << f(i);
}

}  // namespace
}  // namespace vandrel
