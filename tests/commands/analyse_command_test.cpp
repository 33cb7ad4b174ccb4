#include "commands/analyse_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <functional>
#include <mutex>
#include <regex>
#include <set>
#include <thread>

#include "commands/command_fixture.h"
#include "platform/ordered_work.h"
#include "run/run_state.h"
#include "test_support.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::Sj;
using test::WriteBytes;

class AnalyseCommandTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    WriteBytes("src/main.c", "int main(void)\r\n{\r\n    return 0;\r\n}\r\n");
    fs::create_directories("out");
  }
  void TearDown() override {
    JoinAnalysisWorker();
    TempDirTest::TearDown();
  }
  AnalyseResult Run(const std::string& source, const std::string& output) {
    return OnAnalyse(AnalyseRequest{source, output, 1, false}, view);
  }
  std::vector<std::string> LogLabels() {
    std::vector<std::string> labels;
    std::string log = ReadBytes("AnalyzeLog.txt");
    std::regex line("(.*?) : \\d\\d\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d\r\n");
    for (std::sregex_iterator it(log.begin(), log.end(), line), end; it != end; ++it)
      labels.push_back((*it)[1]);
    return labels;
  }

  test::RecordingHost host;
  test::TestView view{host};
};

// Files whose writes are lost (here to /dev/full) are logged one line each,
// where one thread logs them, whatever the number of threads: the run's log
// is the same with one thread and with eight.
TEST_F(AnalyseCommandTest, LostWritesAreLoggedWhereOneThreadLogsThem) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here to stand for a full disk";
  for (int f = 0; f < 12; ++f)
    WriteBytes("src/m" + std::to_string(f) + ".c",
               "int g" + std::to_string(f) + ";\r\nvoid f" + std::to_string(f) + "(void)\r\n{\r\n    g" +
                   std::to_string(f) + " = 1;\r\n}\r\n");
  std::vector<std::string> logs;
  for (unsigned threads : {1u, 8u}) {
    SCOPED_TRACE(threads);
    SetWorkThreadsForTesting(threads);
    // The subscript step's records of three functions go to a full disk.
    host.onStatusText = [&](const std::string& t) {
      if (t != Sj("ファイル内部解析+")) return;
      fs::create_directories("vcwk012345/func_als1_5");
      for (const char* name : {"f2", "f7", "main"})
        fs::create_symlink("/dev/full", fs::path("vcwk012345/func_als1_5") / name);
    };
    AnalyseResult r = Run("src", "out");
    EXPECT_EQ(r.outcome, AnalyseOutcome::Incomplete);
    logs.push_back(test::LogTimesAsTime(ReadBytes("AnalyzeLog.txt")));
  }
  SetWorkThreadsForTesting(0);
  EXPECT_EQ(logs[0], logs[1]);
  const std::string fail = Sj("プログラム解析 ./vcwk012345/func_als1_5/f2 : FILE WRITE FAIL\r\n");
  EXPECT_NE(logs[1].find(fail), std::string::npos) << logs[1];
  size_t count = 0;
  for (size_t at = logs[1].find("FILE WRITE FAIL"); at != std::string::npos; at = logs[1].find("FILE WRITE FAIL", at + 1))
    ++count;
  EXPECT_EQ(count, 3u);
}

TEST_F(AnalyseCommandTest, TheThreeChecks) {
  WriteBytes("file.c", "");
  struct Case {
    std::string source, output, message;
  } cases[] = {
      {"", "out", "プロジェクトフォルダが見つかりません"},
      {"<解析ソフトフォルダを選択 （ドラッグ&ドロップ）>", "out", "プロジェクトフォルダが見つかりません"},
      {"nosuch", "out", "プロジェクトフォルダが見つかりません"},
      {"file.c", "out", "ディレクトリを指定してください"},
      {"src", "", "出力フォルダを指定してください"},
      {"src", "nosuch", "出力フォルダを指定してください"},
  };
  for (const Case& c : cases) {
    WriteBytes("AnalyzeLog.txt", "old run\r\n");
    WriteBytes("vcwk012345/stale.txt", "");
    WriteBytes("vcwk012345.old/left.txt", "");  // set aside by a run that did not end
    host.boxes.clear();
    AnalyseResult r = Run(Sj(c.source.c_str()), c.output);
    EXPECT_EQ(r.outcome, AnalyseOutcome::CheckFailed) << c.source;
    ASSERT_EQ(host.boxes.size(), 1u) << c.source;
    EXPECT_EQ(host.boxes[0].text, Sj(c.message.c_str()));
    EXPECT_EQ(host.boxes[0].caption, Sj("終了"));
    EXPECT_EQ(view.boxesShown, 0);
    // The old work folder and log are gone; the fresh folders and first line stay.
    EXPECT_EQ(LogLabels(), std::vector<std::string>{"ANALYSYS START    "});
    EXPECT_FALSE(fs::exists("vcwk012345/stale.txt"));
    EXPECT_FALSE(fs::exists("vcwk012345.old"));
    for (const char* d : {"DEF/TMP", "fileinfo2", "DEF2", "DEF3"})
      EXPECT_TRUE(fs::is_directory(fs::path("vcwk012345") / d)) << d;
  }
}

// A run whose results are not whole offers nothing: no completion mark, no
// result folder (the one it made is removed), no closing question, and the
// commands on the results stay disabled. Its boxes say what went wrong.
TEST_F(AnalyseCommandTest, AnIncompleteRunLeavesNoResult) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here to stand for a full disk";
  struct Case {
    const char* name;
    const char* atStatus;  // when the fault is made
    std::function<void()> fault;
    std::string output;
    std::vector<std::string> boxes;  // the last ones, in order
  } cases[] = {
      {"a work file loses its writes", "関数情報抽出中",
       [] {
         // Work files reach the disk behind the run: the list may be made
         // after it was removed here, so until the link stands.
         const fs::path list = "vcwk012345/FILEINFO/FileFuncInfo.txt";
         std::error_code ec;
         while (!fs::is_symlink(list, ec)) {
           fs::remove(list, ec);
           fs::create_symlink("/dev/full", list, ec);
         }
       },
       "out", {"ファイル書込み失敗 解析結果は不完全です"}},
      {"a copy fails", "関数情報抽出完了",
       [] {
         std::error_code ec;
         while (!fs::is_directory("vcwk012345/Typedef.txt", ec)) {
           fs::remove("vcwk012345/Typedef.txt", ec);
           fs::create_directory("vcwk012345/Typedef.txt", ec);
         }
       },
       "out", {"コピー失敗", "[TypeDefine.txt]コピー失敗"}},  // the frame set is left out
      {"the output path names a file", "", nullptr, "out.txt",
       {"[AnalyzeLog.txt]コピー失敗", "[解析テンポラリ]コピー失敗"}},
  };
  WriteBytes("out.txt", "");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host.boxes.clear();
    view.disabled = view.enabled = 0;
    host.onStatusText = [&](const std::string& t) {
      if (c.fault && t == Sj(c.atStatus)) c.fault();
    };
    AnalyseResult r = Run("src", c.output);
    EXPECT_EQ(r.outcome, AnalyseOutcome::Incomplete);
    EXPECT_EQ(r.resultFolder, "");
    EXPECT_TRUE(fs::is_empty("out"));
    EXPECT_EQ(ReadBytes("out.txt"), "");
    EXPECT_TRUE(fs::is_directory("vcwk012345/FunctionList4"));
    EXPECT_FALSE(fs::exists("vcwk012345/AnalysisCompleted.txt"));
    std::vector<std::string> boxes = host.BoxTexts();
    ASSERT_GE(boxes.size(), c.boxes.size());
    boxes.erase(boxes.begin(), boxes.end() - c.boxes.size());
    std::vector<std::string> expected;
    for (const std::string& b : c.boxes) expected.push_back(Sj(b.c_str()));
    EXPECT_EQ(boxes, expected);
    for (const std::string& b : host.BoxTexts()) EXPECT_NE(b, Sj("解析完了 結果を起動します"));
    EXPECT_EQ(view.enabled, 0);
    EXPECT_EQ(view.disabled, 1);
    EXPECT_TRUE(view.functions.empty());
    EXPECT_EQ(host.statusTexts.back(), Sj("解析終了"));
  }
}

TEST_F(AnalyseCommandTest, ACompletedRunIsCopiedIntoAStampedResultFolder) {
  WriteBytes("vcwk012345/stale.txt", "");
  bool oldGoneAtQuestion = false, oldGoneWhileWaiting = false, oldAtWaitBegin = false;
  host.onConfirmOpen = [&] { oldGoneAtQuestion = !fs::exists("vcwk012345.old"); };
  // The dialog paints while the set-aside folder is deleted, as during the copies.
  view.onWaitBegin = [&] { oldAtWaitBegin = fs::exists("vcwk012345.old"); };
  view.onWaitEnd = [&] { oldGoneWhileWaiting |= oldAtWaitBegin && !fs::exists("vcwk012345.old"); };
  AnalyseResult r = Run("src/", "out/");
  ASSERT_EQ(r.outcome, AnalyseOutcome::Completed);
  EXPECT_EQ(view.enabled, 1);
  ASSERT_EQ(std::distance(fs::directory_iterator("out"), fs::directory_iterator()), 1);
  std::string name = fs::directory_iterator("out")->path().filename().string();
  EXPECT_TRUE(std::regex_match(name, std::regex("\\d{4}年\\d\\d月\\d\\d日\\d\\d時\\d\\d分\\d\\d秒"))) << name;
  fs::path res = fs::path("out") / name;
  EXPECT_EQ(ToUtf8(r.resultFolder), (fs::path("out") / name).string());
  EXPECT_TRUE(fs::is_directory(res / "DEFINE/DEF/TMP"));
  EXPECT_TRUE(fs::is_directory(res / "プリプロ展開ソフト/src"));
  EXPECT_TRUE(fs::is_directory(res / "[解析テンポラリ]/vcwk012345/DEF"));
  // The previous work folder, set aside, is neither copied nor left behind.
  EXPECT_FALSE(fs::exists(res / "[解析テンポラリ]/vcwk012345/stale.txt"));
  EXPECT_TRUE(oldGoneAtQuestion);
  EXPECT_TRUE(oldGoneWhileWaiting);
  EXPECT_FALSE(fs::exists("vcwk012345.old"));
  // The copied log ends with the end line of the command.
  std::string log = ReadBytes(res / "AnalyzeLog.txt");
  EXPECT_NE(log.find("ANALYSYS END         : "), std::string::npos);
  EXPECT_EQ(LogLabels().back(), "ANALYSYS END        ");
  // The closing question, then nothing opened when it is declined.
  EXPECT_EQ(host.BoxTexts().back(), Sj("解析完了 結果を起動します"));
  EXPECT_TRUE(host.opened.empty());
  EXPECT_EQ(host.statusTexts.back(), Sj("解析終了"));
  EXPECT_EQ(host.statusDetails.back(), "----------------------");
}

// A folder of the run's own name that is there already (a run of the same
// second) stays as it was: the run takes the stamp with "_2".
TEST_F(AnalyseCommandTest, AResultFolderOfTheSameSecondIsLeftAsItWas) {
  std::set<std::string> earlier;
  for (std::time_t t = std::time(nullptr), end = t + 30; t < end; ++t) {
    std::tm local{};
    localtime_r(&t, &local);
    char name[64];
    std::strftime(name, sizeof name, "%Y年%m月%d日%H時%M分%S秒", &local);
    WriteBytes(fs::path("out") / name / "mine.txt", "mine");
    earlier.insert(name);
  }
  AnalyseResult r = Run("src", "out");
  ASSERT_EQ(r.outcome, AnalyseOutcome::Completed);
  const fs::path res = ToUtf8(r.resultFolder);
  const std::string name = res.filename().string();
  ASSERT_TRUE(name.ends_with("_2")) << name;
  EXPECT_EQ(earlier.count(name.substr(0, name.size() - 2)), 1u) << name;
  EXPECT_TRUE(fs::exists(res / "index.html"));
  EXPECT_TRUE(fs::exists(res / "FunctionList4/main"));
  for (const std::string& e : earlier)
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path("out") / e), fs::directory_iterator()), 1) << e;
}

// The copies run while the view waits (the dialog keeps painting); the status
// detail names each one, by the name it gets in the result folder.
TEST_F(AnalyseCommandTest, TheCopiesRunWhileTheViewWaitsAndNameThemselves) {
  std::mutex mutex;
  std::vector<std::string> copies;
  bool allWhileWaiting = true;
  host.onStatusDetail = [&](const std::string& t) {
    if (t.rfind(Sj("コピー中 "), 0) != 0) return;
    std::lock_guard<std::mutex> lock(mutex);
    copies.push_back(ToUtf8(t.substr(Sj("コピー中 ").size())));
    allWhileWaiting = allWhileWaiting && view.waiting;
  };
  ASSERT_EQ(Run("src", "out").outcome, AnalyseOutcome::Completed);
  std::sort(copies.begin(), copies.end());
  std::vector<std::string> expected = {
      "HTML", "FunctionList4", "RAM", "DEFINE", "プリプロ展開ソフト", "index.html", "tarnibel.html",
      "FileFuncInfo.txt", "RAM_ALL", "FunctionList_ProtType.txt", "FunctionList_Body.txt", "TypeDefine.txt",
      "RamDefine.txt", "DetectRamAll.txt", "CallTree.txt", "CallTree_RAM_ACCESS.txt", "AnalyzeLog.txt",
      "[解析テンポラリ]"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(copies, expected);
  EXPECT_TRUE(allWhileWaiting);
  EXPECT_EQ(host.statusDetails.back(), "----------------------");
}

TEST_F(AnalyseCommandTest, TheFoldersLeftEmptyAreInTheWorkFolderAndItsCopy) {
  AnalyseResult r = Run("src", "out");
  ASSERT_EQ(r.outcome, AnalyseOutcome::Completed);
  const fs::path copy = fs::path(ToUtf8(r.resultFolder)) / "[解析テンポラリ]/vcwk012345";
  for (const char* d : {"DEF2", "DEF3", "SOURCE5"}) {
    EXPECT_TRUE(fs::is_directory(fs::path("vcwk012345") / d) && fs::is_empty(fs::path("vcwk012345") / d)) << d;
    EXPECT_TRUE(fs::is_directory(copy / d) && fs::is_empty(copy / d)) << d;
  }
}

TEST_F(AnalyseCommandTest, AcceptingTheQuestionOpensTheReport) {
  host.confirmOpen = true;
  host.openSucceeds = false;
  AnalyseResult r = Run("src", "out");
  ASSERT_EQ(host.opened.size(), 1u);
  EXPECT_EQ(host.opened[0], r.resultFolder + "/index.html");
  EXPECT_EQ(host.BoxTexts().back(), Sj("コールツリーindex起動失敗"));
}

TEST_F(AnalyseCommandTest, CancelCopiesNothingAndTheWorkerRemovesTheWorkFolder) {
  // "中止" pressed while the first step runs (a tiny run may end before the box shows).
  host.onStatusText = [](const std::string& t) {
    if (t == Sj("ヘッダ・プリプロ解析終了")) g_abortRequested = 1;
  };
  AnalyseResult r = Run("src", "out");
  EXPECT_EQ(r.outcome, AnalyseOutcome::Cancelled);
  EXPECT_EQ(view.disabled, 1);
  JoinAnalysisWorker();
  EXPECT_FALSE(fs::exists("vcwk012345"));
  EXPECT_TRUE(fs::is_empty("out"));
  std::vector<std::string> labels = LogLabels();
  EXPECT_EQ(std::count(labels.begin(), labels.end(), "ANALYSYS END        "), 0);
  EXPECT_EQ(host.statusTexts.back(), Sj("実行中断"));
  EXPECT_EQ(host.statusDetails.back(), "----");
}

TEST_F(AnalyseCommandTest, ABoxClosedEarlyEndsTheCommandAndTheWorkerRunsOn) {
  // Esc while the first step runs: the abort flag stays 0.
  std::atomic<bool> closed{false};
  host.onStatusText = [&](const std::string& t) {
    while (t == Sj("ヘッダ・プリプロ解析終了") && !closed) std::this_thread::yield();
  };
  view.onShow = [&] { return closed = true; };
  AnalyseResult r = Run("src", "out");
  EXPECT_EQ(r.outcome, AnalyseOutcome::ClosedEarly);
  EXPECT_EQ(view.disabled, 0);
  EXPECT_EQ(view.enabled, 0);
  JoinAnalysisWorker();
  EXPECT_TRUE(fs::is_empty("out"));
  EXPECT_EQ(g_analysisCompleted.load(), 1);
}

TEST_F(AnalyseCommandTest, ANewRunWaitsForAWorkerStillWindingDown) {
  std::atomic<bool> closed{false};
  host.onStatusText = [&](const std::string& t) {
    while (t == Sj("ヘッダ・プリプロ解析終了") && !closed) std::this_thread::yield();
  };
  view.onShow = [&] { return closed = true; };
  EXPECT_EQ(Run("src", "out").outcome, AnalyseOutcome::ClosedEarly);
  view.onShow = nullptr;
  AnalyseResult r = Run("src", "out");
  EXPECT_EQ(r.outcome, AnalyseOutcome::Completed);
}

}  // namespace
}  // namespace vandrel
