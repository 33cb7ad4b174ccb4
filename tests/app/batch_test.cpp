// The batch front end, run as a program in a temporary current directory.
#include <gtest/gtest.h>

#include "batch_run.h"

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

}  // namespace
}  // namespace vandrel
