#include "commands/variable_command.h"

#include <gtest/gtest.h>

#include <regex>

#include "analysis/body_texts.h"
#include "reports/call_tree_writer.h"
#include "reports/function_tree_records.h"
#include "run/run_state.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::commands::ReadText;
using test::Sj;
using test::commands::WriteCalls;
using test::commands::WriteText;

const char kPageHead[] =
    "<BODY bgcolor='white' link='black' vlink='black' alink=' black'><font size='2'><font color='black'>\n";

class VariableCommandTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    g_abortRequested = 0;
    fs::create_directories("out");
    // f: three entries of x (as a substring) and one of y; g: its section is
    // "NONE"; h: the file ends inside the section; k: a stub record.
    WriteCalls("f", {"h()"}, {"x [R]", "max [w]", "idx [RET]", "y [R]"});
    WriteCalls("g", {}, {"NONE", "x [R]"});
    WriteText("vcwk012345/FunctionList4/h", "[変数アクセス情報]\nx [w]\nx [R]");
    WriteText("vcwk012345/FunctionList4/k", "Not Found Function");
    WriteText("vcwk012345/HTML/CallTree/call_tree.txt",
              "--f\n\t|--h\n\t|\t|--f\n\t|--q[non]\n*IndentOver\n--g\n");
    test::commands::MarkRunCompleted();
  }
  void TearDown() override {
    g_abortRequested = 0;
    TempDirTest::TearDown();
  }
  bool Run(const std::string& name, const std::string& output = "out") {
    QueryRequest request;
    request.typedText = name;
    request.outputFolder = output;
    return OnButton8(request);
  }
  fs::path RunFolder() {
    std::vector<fs::path> folders;
    for (const auto& e : fs::directory_iterator("vcwk012345/RAM_D")) folders.push_back(e.path());
    return folders.size() == 1 ? folders[0] : fs::path("<" + std::to_string(folders.size()) + " folders>");
  }
  std::string File(const std::string& name) { return ReadText((RunFolder() / name).string()); }

  test::RecordingHost host;
};

TEST_F(VariableCommandTest, TheAccessListTheTreeAndTheRunFolder) {
  EXPECT_TRUE(Run("x"));
  const std::string stamp = RunFolder().filename();
  EXPECT_TRUE(std::regex_match(stamp, std::regex("\\d{10}_x"))) << stamp;
  EXPECT_EQ(File("Ram_x.txt"),
            "\n"
            "f\n\tx [R]\n\tmax [w]\n\tidx [RET]\n\n"
            "h\n\tx [w]\n\tx [R]\n"
            "\nアクセス数 5 アクセス\n   [R]   2 アクセス数\n   [W]   3 アクセス数\n");
  EXPECT_EQ(File("Ram_x.html"), std::string(kPageHead) +
                                    "xコールツリー<BR><BR>\n<BR>\n"
                                    "<A href= ..\\f.html>f</A><BR>\n　　　x [R]<BR>\n　　　max [w]<BR>\n"
                                    "　　　idx [RET]<BR>\n<BR>\n"
                                    "<A href= ..\\h.html>h</A><BR>\n　　　x [w]<BR>\n　　　x [R]<BR>\n"
                                    "</font></BODY><BR><BR>");
  EXPECT_EQ(File("Ram_xTree.txt"),
            "--f\n\t\t▲x [R]\n\t\t▲max [w]\n\t\t▲idx [RET]\n"
            "\t|--h\n\t\t\t▲x [w]\n\t\t\t▲x [R]\n"
            "\t|\t|--f\n\t\t\t\t▲x [R]\n\t\t\t\t▲max [w]\n\t\t\t\t▲idx [RET]\n"
            "\t|--q[non]\n*IndentOver\n--g\n");
  EXPECT_EQ(File("index.html"),
            "<html><head><title>プログラム ソルメダ</title></head><frameset cols='200,*'>"
            "<frame name='mid' src='.\\Ram_x.txt'><frame name='view' src='.\\Ram_xTree.txt'></frameset>");
  for (const char* name : {"Ram_x.txt", "Ram_x.html", "Ram_xTree.txt", "index.html"})
    EXPECT_EQ(test::ReadBytes(fs::path("out") / stamp / name), test::ReadBytes(RunFolder() / name)) << name;
  EXPECT_EQ(g_ramAccessCount, 5);
  EXPECT_EQ(g_ramReadCount, 2);
  EXPECT_EQ(g_ramWriteCount, 3);
  EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{Sj("x変数分析終了")});
  EXPECT_EQ(host.statusTexts, (std::vector<std::string>{Sj("x変数分析中"), Sj("x変数分析終了")}));
  EXPECT_EQ(host.statusDetails, (std::vector<std::string>{"f", "g", "h", "k"}));
  EXPECT_EQ(host.opened, std::vector<std::string>{"out/" + stamp + "/index.html"});
}

// A name and entries holding "<", ">" or "&" are escaped on the HTML list;
// the text list, the tree and the file names keep them.
TEST_F(VariableCommandTest, TheHtmlListEscapesTheNameAndTheEntries) {
  WriteCalls("operator<", {}, {"g_st.a<g_n [R]", "p->g_st.a<g_n [w]"});
  EXPECT_TRUE(Run("g_st.a<g_n"));
  EXPECT_EQ(File("Ram_g_st.a<g_n.html"),
            std::string(kPageHead) +
                "g_st.a&lt;g_nコールツリー<BR><BR>\n<BR>\n"
                "<A href= ..\\operator<.html>operator&lt;</A><BR>\n　　　g_st.a&lt;g_n [R]<BR>\n　　　p-&gt;g_st.a&lt;g_n [w]<BR>\n<BR>\n"
                "</font></BODY><BR><BR>");
  EXPECT_EQ(File("Ram_g_st.a<g_n.txt"),
            "\noperator<\n\tg_st.a<g_n [R]\n\tp->g_st.a<g_n [w]\n\n"
            "\nアクセス数 2 アクセス\n   [R]   1 アクセス数\n   [W]   1 アクセス数\n");
  EXPECT_EQ(File("index.html"),
            "<html><head><title>プログラム ソルメダ</title></head><frameset cols='200,*'>"
            "<frame name='mid' src='.\\Ram_g_st.a<g_n.txt'><frame name='view' src='.\\Ram_g_st.a<g_nTree.txt'>"
            "</frameset>");
}

TEST_F(VariableCommandTest, ANameThatNoRecordMentions) {
  EXPECT_TRUE(Run("zzz"));
  EXPECT_EQ(File("Ram_zzz.txt"), "\n\nアクセス数 0 アクセス\n   [R]   0 アクセス数\n   [W]   0 アクセス数\n");
  EXPECT_EQ(File("Ram_zzzTree.txt"), ReadText("vcwk012345/HTML/CallTree/call_tree.txt"));
}

TEST_F(VariableCommandTest, EveryKindButReadCountsAsAWrite) {
  WriteCalls("f", {}, {"v [w]", "v [RET]", "v [R]", "v [R]", "v [X]"});
  EXPECT_TRUE(Run("v"));
  EXPECT_EQ(g_ramAccessCount, 5);
  EXPECT_EQ(g_ramReadCount, 2);
  EXPECT_EQ(g_ramWriteCount, 3);
  EXPECT_NE(File("Ram_v.txt").find("f\n\tv [w]\n\tv [RET]\n\tv [R]\n\tv [R]\n\tv [X]\n\n"), std::string::npos);
}

TEST_F(VariableCommandTest, PastTheBudgetAFunctionsEntriesStandOnlyUnderItsFirstLine) {
  const CallTreeLimits saved = g_callTreeLimits;
  g_callTreeLimits = {1000000, 10};
  WriteCalls("late", {}, {"x [w]"});
  WriteText("vcwk012345/HTML/CallTree/call_tree.txt",
            "--f\n\t|--h\n\t|--h\n\t|--f\n\t|\t|--late\n\t|--h\n");
  EXPECT_TRUE(Run("x"));
  g_callTreeLimits = saved;
  // The tenth line spends the budget; after it only late, not annotated before, gets its entry.
  EXPECT_EQ(File("Ram_xTree.txt"),
            "--f\n\t\t▲x [R]\n\t\t▲max [w]\n\t\t▲idx [RET]\n"
            "\t|--h\n\t\t\t▲x [w]\n\t\t\t▲x [R]\n"
            "\t|--h\n\t\t\t▲x [w]\n\t\t\t▲x [R]\n"
            "\t|--f\n\t|\t|--late\n\t\t\t\t▲x [w]\n\t|--h\n");
  EXPECT_EQ(ReadText("AnalyzeLog.txt"),
            "x : 10 : CALL TREE LIMIT : ツリー行数が上限に達しました。以降は表示済みの関数のアクセスを再表示しません\n");
}

TEST_F(VariableCommandTest, WithoutTheWholeProgramTreeTheTreeFileIsMissing) {
  fs::remove("vcwk012345/HTML/CallTree/call_tree.txt");
  EXPECT_TRUE(Run("x"));
  EXPECT_FALSE(fs::exists(RunFolder() / "Ram_xTree.txt"));
  EXPECT_NE(File("Ram_x.txt").find("アクセス数 5"), std::string::npos);
}

TEST_F(VariableCommandTest, TheChecks) {
  struct Case {
    bool typed;
    std::string typedText, listText;
    bool removeRecords;
    const char* box;  // "" for none
  } cases[] = {
      {true, "", "x", false, "入力してください"},
      {false, "x", "SELECT RAM VALUE", false, "リストから選択してください"},
      {true, "x", "", true, "解析結果がありません"},
      {true, "a/b", "", false, ""},
  };
  for (const Case& c : cases) {
    if (c.removeRecords) fs::rename("vcwk012345/FunctionList4", "records");
    host.boxes.clear();
    EXPECT_FALSE(OnButton8(QueryRequest{c.typed, c.typedText, c.listText, "out"})) << c.box;
    EXPECT_EQ(host.BoxTexts(), *c.box ? std::vector<std::string>{Sj(c.box)} : std::vector<std::string>{});
    EXPECT_FALSE(fs::exists("vcwk012345/RAM_D")) << c.typedText;
    if (c.removeRecords) fs::rename("records", "vcwk012345/FunctionList4");
  }
  EXPECT_NE(ReadText("AnalyzeLog.txt").find("[a/b] : NOT A FILE NAME\n"), std::string::npos);

  host.boxes.clear();
  EXPECT_TRUE(OnButton8(QueryRequest{false, "", "y", "out"}));
  EXPECT_EQ(g_chosenVariableName, "y");
  EXPECT_EQ(g_ramAccessCount, 1);
}

TEST_F(VariableCommandTest, AFailedCopyIsShownAndTheCommandGoesOn) {
  host.openSucceeds = false;
  EXPECT_FALSE(Run("x", "nosuch"));
  EXPECT_EQ(host.BoxTexts(), (std::vector<std::string>{Sj("コピー失敗"), Sj("x変数分析終了"), Sj("起動失敗")}));
  EXPECT_FALSE(fs::exists("nosuch"));
}

TEST_F(VariableCommandTest, TheAbortFlagEndsTheListButNotTheTree) {
  g_abortRequested = 1;
  EXPECT_TRUE(Run("x"));
  EXPECT_EQ(File("Ram_x.txt"), "\n\nアクセス数 0 アクセス\n   [R]   0 アクセス数\n   [W]   0 アクセス数\n");
  EXPECT_NE(File("Ram_xTree.txt").find("--f\n\t\t▲x [R]\n"), std::string::npos);
}

TEST_F(VariableCommandTest, TheCatchAllHandlers) {
  // A record that the scan finds but that cannot be read ends the analysis.
  fs::create_symlink("nowhere", "vcwk012345/FunctionList4/g2");
  EXPECT_TRUE(Run("x"));
  EXPECT_EQ(ReadText("AnalyzeLog.txt"), "SearchFile_RamAls_Btn8_DirectRAM : 0 : 例外発生280コールツリー : -\n");
  EXPECT_EQ(File("Ram_x.txt"), "\nf\n\tx [R]\n\tmax [w]\n\tidx [RET]\n\n");  // no totals
  EXPECT_FALSE(fs::exists(RunFolder() / "Ram_xTree.txt"));
  EXPECT_NE(File("Ram_x.html").find("</font></BODY><BR><BR>"), std::string::npos);  // the command went on
  EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{Sj("x変数分析終了")});

  fs::remove("AnalyzeLog.txt");
  {
    test::commands::ThrowingHost throwing;
    EXPECT_FALSE(Run(""));
  }
  EXPECT_EQ(ReadText("AnalyzeLog.txt"), "OnButton8 : 0 : 例外発生270変数分析 : -\n");
}

}  // namespace
}  // namespace vandrel
