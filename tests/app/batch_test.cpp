// The batch front end, run as a program in a temporary current directory.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>

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

// --open answers the closing question with OK and hands index.html to
// xdg-open (here a stand-in on PATH that notes its argument).
TEST_F(BatchTest, OpenHandsTheReportToTheDesktop) {
  fs::create_directories("out");
  fs::create_directories("bin");
  test::WriteBytes("bin/xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/opened.txt\"\n");
  fs::permissions("bin/xdg-open", fs::perms::owner_all);
  std::string sample = (fs::path(VANDREL_SOURCE_DIR) / "examples/sample").string();
  Outcome o = RunBatch("analyse '" + sample + "' out --open", "PATH=\"$PWD/bin:$PATH\" ");
  ASSERT_EQ(o.status, 0) << o.err;
  fs::path res = *fs::directory_iterator("out");
  EXPECT_EQ(test::ReadBytes("bin/opened.txt"), (res / "index.html").string());
}

// Ctrl-C during a run is the progress box's cancel: the run stops, nothing is
// copied, the work folder is deleted and the exit status is 1.
TEST_F(BatchTest, CtrlCStopsTheRunAndDeletesTheWorkFolder) {
  fs::create_directories("out");
  for (int f = 0; f < 300; ++f) {  // long enough to be stopped on the way
    std::string text;
    for (int i = 0; i < 20; ++i)
      text += "int f" + std::to_string(f) + "_" + std::to_string(i) + "(int a)\r\n{\r\n    return a + " +
              std::to_string(i) + ";\r\n}\r\n";
    test::WriteBytes("src/file" + std::to_string(f) + ".c", text);
  }
  int err[2];
  ASSERT_EQ(pipe(err), 0);
  pid_t pid = fork();
  if (pid == 0) {
    dup2(err[1], STDERR_FILENO);
    close(err[0]);
    execl(VANDREL_BATCH_EXE, VANDREL_BATCH_EXE, "analyse", "src", "out", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(err[1]);
  FILE* in = fdopen(err[0], "r");
  std::string seen;
  bool sent = false;
  for (char line[4096]; std::fgets(line, sizeof line, in);) {
    seen += line;
    if (!sent && seen.find("ファイル内部解析中") != std::string::npos) {
      kill(pid, SIGINT);
      sent = true;
    }
  }
  std::fclose(in);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(sent) << seen;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_NE(seen.find("実行中断\n"), std::string::npos) << seen;
  EXPECT_EQ(seen.find("解析完了 結果を起動します"), std::string::npos) << seen;
  EXPECT_TRUE(fs::is_empty("out"));
  EXPECT_FALSE(fs::exists("vcwk012345"));
  EXPECT_FALSE(fs::exists("vcwk012345.old"));
}

}  // namespace
}  // namespace vandrel
