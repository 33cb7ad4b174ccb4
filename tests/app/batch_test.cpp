// The batch front end, run as a program in a temporary current directory.
#include <gtest/gtest.h>

#include "app/batch_run.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;

using Outcome = test::BatchOutcome;
using test::RunBatch;

class BatchTest : public test::TempDirTest {};

TEST_F(BatchTest, UsageErrorsExitWithTwo) {
  for (const char* args : {"", "frobnicate", "analyse onlyone", "analyse a b --memory 5",
                           "analyse a b --memory", "analyse a b --unknown", "call-tree f"}) {
    Outcome o = RunBatch(args);
    EXPECT_EQ(o.status, 2) << args;
    EXPECT_NE(o.err.find("usage:"), std::string::npos) << args;
  }
  Outcome help = RunBatch("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("vandrel-batch analyse SOURCE_FOLDER OUTPUT_FOLDER"), std::string::npos);
}

TEST_F(BatchTest, AFailedCheckIsOneLineOnStandardErrorAndExitsWithOne) {
  fs::create_directories("out");
  Outcome o = RunBatch("analyse nosuch out");
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("終了: プロジェクトフォルダが見つかりません\n"), std::string::npos) << o.err;
  EXPECT_TRUE(o.out.empty());
  o = RunBatch("analyse . nosuch");
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("終了: 出力フォルダを指定してください\n"), std::string::npos) << o.err;
}

TEST_F(BatchTest, AnalysingTheSampleFillsTheResultFolderAndAnswersTheQuestionWithCancel) {
  fs::create_directories("out");
  fs::copy_file(fs::path(VANDREL_SOURCE_DIR) / "examples/sample/DefList.txt", "DefList.txt");
  std::string sample = (fs::path(VANDREL_SOURCE_DIR) / "examples/sample").string();
  Outcome o = RunBatch("analyse '" + sample + "/' out --memory 2");
  EXPECT_NE(o.err.find("終了: 解析完了 結果を起動します\n"), std::string::npos) << o.err;
  EXPECT_NE(o.err.find("解析終了\n"), std::string::npos);
  ASSERT_EQ(std::distance(fs::directory_iterator("out"), fs::directory_iterator()), 1);
  fs::path res = *fs::directory_iterator("out");
  EXPECT_TRUE(fs::is_directory(res / "プリプロ展開ソフト/sample"));
  EXPECT_TRUE(fs::exists(res / "AnalyzeLog.txt"));
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, (res / "index.html").string() + "\n");
  for (const char* item : {"HTML", "FunctionList4", "RAM", "RAM_ALL", "DEFINE/DEF", "index.html",
                           "tarnibel.html", "FileFuncInfo.txt", "FunctionList_ProtType.txt",
                           "FunctionList_Body.txt", "TypeDefine.txt", "RamDefine.txt",
                           "DetectRamAll.txt", "CallTree.txt", "CallTree_RAM_ACCESS.txt",
                           "[解析テンポラリ]/vcwk012345"})
    EXPECT_TRUE(fs::exists(res / item)) << item;
}

// --open answers the closing question with OK and hands index.html to
// xdg-open (here a stand-in on PATH that notes its argument).
TEST_F(BatchTest, OpenHandsTheReportToTheDesktop) {
  fs::create_directories("out");
  std::string sample = (fs::path(VANDREL_SOURCE_DIR) / "examples/sample").string();
  Outcome o = RunBatch("analyse '" + sample + "' out --open", test::FakeXdgOpen());
  ASSERT_EQ(o.status, 0) << o.err;
  fs::path res = *fs::directory_iterator("out");
  EXPECT_EQ(test::ReadBytes("bin/opened.txt"), (fs::current_path() / res / "index.html").string());
}

// An output folder that is a file: every copy fails, the run ends after the
// last failure's box, and nothing is offered or handed to xdg-open.
TEST_F(BatchTest, WithOpenAnIncompleteRunOpensNothing) {
  test::WriteBytes("outfile", "");
  std::string sample = (fs::path(VANDREL_SOURCE_DIR) / "examples/sample").string();
  Outcome o = RunBatch("analyse '" + sample + "' outfile --open", test::FakeXdgOpen());
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(o.err.ends_with("終了: [解析テンポラリ]コピー失敗\n  テンポラリファイル削除\n解析終了\n"
                              "  ----------------------\n"))
      << o.err;
  EXPECT_EQ(o.err.find("解析完了 結果を起動します"), std::string::npos) << o.err;
  EXPECT_EQ(o.out, "");
  EXPECT_FALSE(fs::exists("bin/opened.txt"));
}

// Ctrl-C during a run is the progress box's cancel: the run stops, nothing is
// copied, the work folder is deleted and the exit status is 1.
TEST_F(BatchTest, CtrlCStopsTheRunAndDeletesTheWorkFolder) {
  fs::create_directories("out");
  test::WriteSourceTree("src", 300, 20);  // long enough to be stopped on the way
  test::BatchProcess run({"analyse", "src", "out"});
  ASSERT_TRUE(run.ReadUntil("ファイル内部解析中")) << run.Seen();
  run.Signal(SIGINT);
  EXPECT_EQ(run.Wait(), 1);
  EXPECT_NE(run.Seen().find("実行中断\n"), std::string::npos) << run.Seen();
  EXPECT_EQ(run.Seen().find("解析完了 結果を起動します"), std::string::npos) << run.Seen();
  EXPECT_TRUE(fs::is_empty("out"));
  EXPECT_FALSE(fs::exists("vcwk012345"));
  EXPECT_FALSE(fs::exists("vcwk012345.old"));
}

}  // namespace
}  // namespace vandrel
