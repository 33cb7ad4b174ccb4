#include "reports/report_pages.h"

#include <gtest/gtest.h>

#include "reports/report_fixture.h"
#include "run/run_state.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::CrLfLines;
using test::Sj;

const std::vector<std::string> kScriptHead = {
    "<head><script language='JavaScript'>", "<!--", "function mysetFrame(url1,url2)", "{",
    "parent.mid.location.href = url1;", "parent.view.location.href = url2;", "}", "-->",
    "</script>", "</head>"};

std::vector<std::string> ListHead(const char* title) {
  std::vector<std::string> lines = kScriptHead;
  lines.push_back(title);
  return lines;
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class ReportPagesTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    fs::create_directories("vcwk012345/HTML/CallTree");
    fs::create_directories("vcwk012345/FunctionList4");
    fs::create_directories("vcwk012345/DEF");
    g_runParameters.m_sourceFolder = Sj("/home/user/ソース");
    g_abortRequested = 0;
  }
  void TearDown() override {
    g_runParameters = RunParameters();
    g_abortRequested = 0;
    TempDirTest::TearDown();
  }
  static std::string Work(const std::string& name) { return test::ReadBytes("vcwk012345/" + name); }

  test::RecordingHost host;
};

TEST_F(ReportPagesTest, TheFixedPages) {
  ASSERT_TRUE(WriteTopPage());
  test::WriteWorkLines("FuncList_ProtType.txt", {});
  test::WriteWorkLines("ValList.txt", {});
  test::WriteBytes("vcwk012345/DEF/main_DEF_C.dat", "");
  ASSERT_EQ(WriteReportPages(), StepResult::Done);

  EXPECT_EQ(Work("HTML/top.html"),
            Sj("<BODY bgcoIor='white'><font size='2'><font color='black'>\r\n"
               "<B><< /home/user/ソース >> 解析結果</B><BR>"
               "<A href= ..\\FileFuncInfo.txt target='view'>　[関数情報]</A>"
               "<A href= .\\Funclist.html target='list'>　[関数一覧]</A>"
               "<A href= .\\ValList.html target='list'>　[変数一覧]</A>"
               "<A href= .\\CallTree\\CallTree_index.html target='list'>　[コールツリー一覧]</A>"
               "<A href= .\\DefList.html target='list'>　[参照定義]</A>"));
  EXPECT_EQ(Work("index.html"),
            Sj("<html><head><title>プログラム ソルメダ</title></head><frameset rows='50,*'>"
               "<frame name='top' src= '.\\HTML\\top.html'><frameset cols='250,*'>"
               "<frame name='list' src= '.\\HTML\\Funclist.html'><frameset cols='200,*'>"
               "<frame name='mid' src='.\\tarnibel.html'><frame name='view' src='.\\FileFuncInfo.txt'>"
               "</frameset></frameset></frameset>"));
  EXPECT_EQ(Work("tarnibel.html"), CrLfLines({"<H3>解析結果をフレーム上・左のメニューからえらんでください<BR>",
                                              "ここに表示されます<BR></H3>"}));
  EXPECT_EQ(Work("HTML/Funclist.html"), CrLfLines(ListHead("関数一覧<BR><BR>")));
  EXPECT_EQ(Work("HTML/ValList.html"), CrLfLines(ListHead("変数一覧<BR><BR>")));
  EXPECT_EQ(Work("HTML/CallTree/CallTree_index.html"),
            CrLfLines({"ツリー基点 関数<BR><BR>",
                       "<A href= .\\call_tree.txt target='view'>全ツリー表示</A><BR>"}));
  EXPECT_EQ(Work("HTML/DefList.html"),
            CrLfLines({"参照定義 （ファイル毎）<BR><BR>",
                       "<A href= .\\DEF\\main_C.html target='view'>main_C</A><BR>"}));
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(ReportPagesTest, TheFunctionListLinksEveryPrototypeAndStubsTheMissingBodies) {
  test::WriteRecord({"main"});
  test::WriteBytes("vcwk012345/HTML/main.html", "<BODY>main");
  test::WriteWorkLines("FuncList_ProtType.txt",
                       {"int\tmain\t(\tvoid\t)\t;", "static\tvoid\tdecl\t(\tint\ta\t)\t;",
                        "static\tvoid\tdecl\t(\tint\ta\t)\t;", "\t(\tvoid\t)\t;"});
  test::WriteWorkLines("ValList.txt", {"int\tcnt\t;", "static\tchar\tbuf\t[\t10\t]\t;", "int\tcnt\t;"});
  ASSERT_EQ(WriteReportPages(), StepResult::Done);
  auto link = [](const std::string& url1, const std::string& url2, const std::string& n) {
    return "<A href=\"javaScript:mysetFrame( '" + url1 + "','" + url2 + "')\">" + n + "</A><BR>";
  };
  EXPECT_EQ(Work("HTML/Funclist.html"),
            CrLfLines(ListHead("関数一覧<BR><BR>") +
                      std::vector<std::string>{link("../FunctionList4/main", "main.html", "main"),
                                               link("../FunctionList4/decl", "decl.html", "decl"),
                                               link("../FunctionList4/decl", "decl.html", "decl")}));
  EXPECT_EQ(Work("FunctionList4/decl"), "Not Found Function");
  EXPECT_EQ(Work("HTML/decl.html"), "Not Found Function");
  EXPECT_EQ(Work("HTML/main.html"), "<BODY>main");
  EXPECT_NE(Work("FunctionList4/main"), "Not Found Function");
  EXPECT_EQ(Work("HTML/ValList.html"),
            CrLfLines(ListHead("変数一覧<BR><BR>") +
                      std::vector<std::string>{link("../RAM/cnt", "./RAM/cnt.html", "cnt"),
                                               link("../RAM/buf", "./RAM/buf.html", "buf"),
                                               link("../RAM/cnt", "./RAM/cnt.html", "cnt")}));
  // The prototype line without a name is skipped with one log line.
  std::string log = test::ReadBytes("AnalyzeLog.txt");
  EXPECT_EQ(log.substr(0, log.find('\n') + 1), Sj("プログラム解析 [] : NOT A FILE NAME\r\n"));
}

TEST_F(ReportPagesTest, DefinitionFilesGetAPageEach) {
  test::WriteBytes("vcwk012345/DEF/util_DEF_H.dat", "LIMIT\t\t10\t\r\nFLAG\t\r\n");
  test::WriteBytes("vcwk012345/DEF/main_DEF_C.dat", "MAX\t100\r\n");
  test::WriteBytes("vcwk012345/DEF/other.dat", "X\t1\r\n");
  fs::create_directories("vcwk012345/DEF/dir_DEF_.dat");
  ASSERT_EQ(WriteReportPages(), StepResult::Done);
  EXPECT_EQ(Work("HTML/DefList.html"),
            CrLfLines({"参照定義 （ファイル毎）<BR><BR>",
                       "<A href= .\\DEF\\main_C.html target='view'>main_C</A><BR>",
                       "<A href= .\\DEF\\util_H.html target='view'>util_H</A><BR>"}));
  EXPECT_EQ(Work("HTML/DEF/main_C.html"), "MAX\t100<BR>\r\n");
  EXPECT_EQ(Work("HTML/DEF/util_H.html"), "LIMIT\t\t10\t<BR>\r\nFLAG\t<BR>\r\n");
  EXPECT_FALSE(fs::exists("vcwk012345/HTML/DEF/other.html"));
}

// Texts from the sources, the lists and the definition files are escaped
// where they are shown; the file names in the links and on the disk are not.
TEST_F(ReportPagesTest, ShownTextsAreEscapedAndFileNamesAreNot) {
  g_runParameters.m_sourceFolder = Sj("/src/<b>&表");
  ASSERT_TRUE(WriteTopPage());
  test::WriteWorkLines("FuncList_ProtType.txt", {"bool\toperator<\t(\tint\ta\t)\t;"});
  test::WriteWorkLines("ValList.txt", {});
  test::WriteBytes("vcwk012345/DEF/r&d_DEF_C.dat",
                   CrLfLines({"LIMIT\t(a<b)&&c>表示", "TAG\t\"<b>表</b>\t", "HIDE\t<!--\t", "AMP\t&amp;"}));
  ASSERT_EQ(WriteReportPages(), StepResult::Done);

  EXPECT_NE(Work("HTML/top.html").find(Sj("<B><< /src/&lt;b&gt;&amp;表 >> 解析結果</B><BR>")), std::string::npos);
  EXPECT_EQ(Work("HTML/Funclist.html"),
            CrLfLines(ListHead("関数一覧<BR><BR>") +
                      std::vector<std::string>{"<A href=\"javaScript:mysetFrame( '../FunctionList4/operator<',"
                                               "'operator<.html')\">operator&lt;</A><BR>"}));
  EXPECT_EQ(Work("FunctionList4/operator<"), "Not Found Function");
  EXPECT_EQ(Work("HTML/operator<.html"), "Not Found Function");
  EXPECT_EQ(Work("HTML/DefList.html"),
            CrLfLines({"参照定義 （ファイル毎）<BR><BR>",
                       "<A href= .\\DEF\\r&d_C.html target='view'>r&amp;d_C</A><BR>"}));
  EXPECT_EQ(Work("HTML/DEF/r&d_C.html"),
            CrLfLines({"LIMIT\t(a&lt;b)&amp;&amp;c&gt;表示<BR>", "TAG\t\"&lt;b&gt;表&lt;/b&gt;\t<BR>",
                       "HIDE\t&lt;!--\t<BR>", "AMP\t&amp;amp;<BR>"}));
}

TEST_F(ReportPagesTest, MissingListsAreReportedAndTheStepGoesOn) {
  ASSERT_EQ(WriteReportPages(), StepResult::Done);
  EXPECT_EQ(host.BoxTexts(), (std::vector<std::string>{Sj("関数リスト存在せず"), Sj("関数リスト存在せず"),
                                                       Sj("DEFファイル開けず")}));
  EXPECT_EQ(test::ReadBytes("AnalyzeLog.txt"),
            Sj("プログラム解析 ./vcwk012345/HTML/Funclist.html : FILE CREATE FAIL\r\n"
               "プログラム解析 ./vcwk012345/ValList.txt : FILE NOT OPEN\r\n"
               "プログラム解析 ./vcwk012345/DEF/*.dat : FILE NOT OPEN\r\n"));
  EXPECT_FALSE(fs::exists("vcwk012345/HTML/Funclist.html"));
  EXPECT_EQ(Work("HTML/DefList.html"), CrLfLines({"参照定義 （ファイル毎）<BR><BR>"}));
  EXPECT_TRUE(fs::exists("vcwk012345/index.html"));
}

TEST_F(ReportPagesTest, ListPagesFromAnEarlierWriteAreReplaced) {
  test::WriteBytes("vcwk012345/HTML/Funclist.html", std::string(5000, 'x'));
  test::WriteWorkLines("FuncList_ProtType.txt", {});
  ASSERT_EQ(WriteReportPages(), StepResult::Done);
  EXPECT_EQ(Work("HTML/Funclist.html"), CrLfLines(ListHead("関数一覧<BR><BR>")));
}

TEST_F(ReportPagesTest, PagesThatCannotBeWritten) {
  fs::remove_all("vcwk012345/HTML");
  test::WriteBytes("vcwk012345/HTML", "");  // a file where the folder belongs
  EXPECT_FALSE(WriteTopPage());
  EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{Sj("TOP HTML 作成失敗")});
  EXPECT_EQ(test::ReadBytes("AnalyzeLog.txt"),
            Sj("プログラム解析 ./vcwk012345/HTML/top.html : FILE NOT OPEN\r\n"));

  fs::remove("vcwk012345/HTML");
  fs::create_directories("vcwk012345/index.html");
  EXPECT_EQ(WriteReportPages(), StepResult::Stopped);
}

TEST_F(ReportPagesTest, AProgramWithoutFunctionBodiesStillGetsItsMenu) {
  fs::remove_all("vcwk012345/HTML");
  EXPECT_TRUE(WriteTopPage());
  EXPECT_TRUE(fs::exists("vcwk012345/HTML/top.html"));
}

}  // namespace
}  // namespace vandrel
