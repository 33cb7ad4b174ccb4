#include "pipeline/driver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <regex>
#include <thread>

#include "commands/command_fixture.h"
#include "run/run_state.h"
#include "test_support.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::Sj;

// Presses "中止" when a given status text appears, and notes the progress
// base at every status text.
class CancellingHost : public test::RecordingHost {
 public:
  void StatusText(const std::string& t) override {
    RecordingHost::StatusText(t);
    bases.push_back(g_progressBase.load());
    if (!cancelAt.empty() && t == cancelAt) g_abortRequested = 1;
  }
  std::string cancelAt;
  std::vector<int> bases;
};

class DriverTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    test::WriteBytes("src/main.c", "int main(void)\r\n{\r\n}\r\n");
    fs::create_directories("out");
    view.onShow = [] { return false; };
  }
  AnalyseResult Run() {
    AnalyseResult r = OnAnalyse(AnalyseRequest{"src", "out", 1, false}, view);
    JoinAnalysisWorker();
    return r;
  }
  std::vector<std::string> LogLabels() {
    std::vector<std::string> labels;
    std::string log = test::ReadBytes("AnalyzeLog.txt");
    std::regex line("(.*?) : \\d\\d\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d\r\n");
    for (std::sregex_iterator it(log.begin(), log.end(), line), end; it != end; ++it)
      labels.push_back((*it)[1]);
    return labels;
  }

  CancellingHost host;
  test::TestView view{host};
};

const std::vector<std::string> kAllLabels = {
    "ANALYSYS START    ",   "HEADER LIST START   ", "HEADER LIST END     ",
    "PREPRO START        ", "PREPRO END          ", "DEFINE ALS START    ",
    "DEFINE ALS END      ", "FLIE ALS START      ", "FILE ALS END        ",
    "FUNC ALS1.5 START   ", "FUNC ALS1.5 END     ", "FUNC ALS2 START     ",
    "FUNC ALS2 END       ", "FUNC ALS3 START     ", "FUNC ALS3 END       ",
    "FUNC ALS4 START     ", "FUNC ALS4 END       ", "CALL LIST START     ",
    "CALL LIST END       ", "VALUE LIST START    ", "VALUE LIST END      ",
    "SPEC LIST START     ", "SPEC LIST END       ", "RAM ACS LIST START  ",
    "RAM ACS LIST END    ", "CALL TREE START     ", "CALL TREE END       ",
    "FUNC INFO START     ", "FUNC INFO END       ", "ANALYSYS END        ",
};

TEST_F(DriverTest, ACompletedRunLogsEveryStepInOrder) {
  ASSERT_EQ(Run().outcome, AnalyseOutcome::Completed);
  EXPECT_EQ(LogLabels(), kAllLabels);
  EXPECT_EQ(g_progressBase.load(), 1000);
  EXPECT_EQ(g_analysisCompleted.load(), 1);
  EXPECT_TRUE(fs::exists("vcwk012345/DEF/Header_List.txt"));
  EXPECT_TRUE(fs::is_directory("vcwk012345/FILEINFO"));
}

TEST_F(DriverTest, StatusTextsAndProgressBasesOfTheSteps) {
  ASSERT_EQ(Run().outcome, AnalyseOutcome::Completed);
  auto at = [&](const char* status) {
    auto it = std::find(host.statusTexts.begin(), host.statusTexts.end(), Sj(status));
    EXPECT_NE(it, host.statusTexts.end()) << status;
    return host.bases[it - host.statusTexts.begin()];
  };
  EXPECT_EQ(at("プログラム定義解析中"), 200);
  EXPECT_EQ(at("ファイル内部解析+"), 300);
  EXPECT_EQ(at("RAMアクセス解析中"), 800);
  EXPECT_EQ(at("コールツリー作成完了"), 800);  // steps 12 and 13 store no base
  EXPECT_EQ(at("関数情報抽出中"), 800);
  // Step 11 shows the same text while it runs and after it ended.
  EXPECT_EQ(std::count(host.statusTexts.begin(), host.statusTexts.end(), Sj("制御仕様作成中")), 2);
}

TEST_F(DriverTest, ACancelDuringAFileStepEndsTheRunAfterThatStep) {
  struct Case {
    const char* status;  // shown at the start of the step
    const char* lastLabel;
  } cases[] = {
      {"ヘッダ・プリプロ解析中", "HEADER LIST END     "},
      {"プリプロ解析ソフト作成中", "PREPRO END          "},
      {"プログラム定義解析中", "DEFINE ALS END      "},
      {"ファイル内部解析中", "FILE ALS END        "},
  };
  for (const Case& c : cases) {
    host.cancelAt = Sj(c.status);
    host.statusTexts.clear();
    host.statusDetails.clear();
    AnalyseResult r = Run();
    EXPECT_EQ(r.outcome, AnalyseOutcome::Cancelled) << c.status;
    EXPECT_EQ(LogLabels().back(), c.lastLabel) << c.status;
    EXPECT_EQ(host.statusTexts.back(), Sj("実行中断"));
    EXPECT_EQ(host.statusDetails.back(), "----");
    EXPECT_FALSE(fs::exists("vcwk012345"));
    EXPECT_TRUE(fs::is_empty("out"));
  }
}

// The completion mark tells the commands on the results that the run's files
// are whole: a run that lost writes (a full disk) ends without it, also
// when no command is left to look at it (its box was closed early).
TEST_F(DriverTest, OnlyARunWithoutLostWritesGetsTheCompletionMark) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here to stand for a full disk";
  std::atomic<bool> closed{false};
  view.onShow = [&] { return closed = true; };
  for (bool full : {false, true}) {
    SCOPED_TRACE(full ? "full" : "room");
    closed = false;
    host.onStatusText = [&](const std::string& t) {
      while (t == Sj("ヘッダ・プリプロ解析終了") && !closed) std::this_thread::yield();
      if (full && t == Sj("関数情報抽出中")) {
        // Work files reach the disk behind the run: the list may be made
        // after it was removed here, so until the link stands.
        const fs::path list = "vcwk012345/FILEINFO/FileFuncInfo.txt";
        std::error_code ec;
        while (!fs::is_symlink(list, ec)) {
          fs::remove(list, ec);
          fs::create_symlink("/dev/full", list, ec);
        }
      }
    };
    EXPECT_EQ(Run().outcome, AnalyseOutcome::ClosedEarly);
    EXPECT_EQ(g_analysisCompleted.load(), 1);
    EXPECT_EQ(LogLabels().back(), "FUNC INFO END       ");
    EXPECT_EQ(fs::exists("vcwk012345/AnalysisCompleted.txt"), !full);
  }
}

}  // namespace
}  // namespace vandrel
