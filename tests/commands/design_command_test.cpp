#include "commands/design_command.h"

#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include "reports/function_tree_records.h"
#include "run/run_state.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::Sj;
using test::commands::WriteText;

class RecordingBusyBox : public BusyBox {
 public:
  void Open() override { calls += "open;"; }
  void Close() override { calls += "close;"; }
  std::string calls;
};

class DesignCommandTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    g_abortRequested = 0;
    fs::create_directories("out");
    fs::create_directories("vcwk012345/fileinfo2");
    test::commands::WriteCalls("main", {});
    WriteText("vcwk012345/FILEINFO/INF_main.c", "[DOM]\nAPP\n[FUNCNAME]\nmain\n");
    test::commands::MarkRunCompleted();
  }
  void TearDown() override {
    g_abortRequested = 0;
    TempDirTest::TearDown();
  }
  bool Run(const std::string& output = "out") { return OnDesignDocButton(output, busyBox); }
  // The log without its time stamps.
  std::string Log() {
    return std::regex_replace(test::commands::ReadText("AnalyzeLog.txt"),
                              std::regex(" : \\d\\d\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d"), " : T");
  }
  std::vector<std::string> Written() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator("vcwk012345/fileinfo2")) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  test::RecordingHost host;
  RecordingBusyBox busyBox;
};

TEST_F(DesignCommandTest, OnlyLowerCaseDotCEntriesGetDesignInformation) {
  for (const char* other : {"INF_util.h", "INF_upper.C", "FileFuncInfo.txt", "INF_x.cpp"})
    WriteText(std::string("vcwk012345/FILEINFO/") + other, "[DOM]\nAPP\n");
  fs::create_directories("vcwk012345/FILEINFO/INF_folder.c");
  EXPECT_TRUE(Run());
  EXPECT_EQ(Written(), std::vector<std::string>{"INF_main.c"});
  EXPECT_EQ(Log(), "FILE INFO CREATE START     : T\nFILE INFO CREATE END         : T\n");
  EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{Sj("EXL設計書作成開始します")});
  EXPECT_EQ(host.boxes[0].buttons, MessageButtons::OkCancel);
  EXPECT_EQ(host.boxes[0].caption, Sj("終了"));
  EXPECT_EQ(busyBox.calls, "open;close;");
  // The entries were shown as the status detail, dots and folders left out.
  EXPECT_EQ(host.statusDetails, (std::vector<std::string>{"FileFuncInfo.txt", "INF_main.c", "INF_upper.C",
                                                          "INF_util.h", "INF_x.cpp"}));
}

TEST_F(DesignCommandTest, TheChecksAfterThePass) {
  struct Case {
    const char* output;
    bool removeRecords;
    int answer;
    std::vector<const char*> boxes;
  } cases[] = {
      {"nosuch", false, kIdOk, {"出力フォルダを指定してください"}},
      {"", false, kIdOk, {"出力フォルダを指定してください"}},
      // The builder misses the record of main, then the check misses them all.
      {"out", true, kIdOk, {"起動失敗", "ソフト解析結果なし、先に解析を実行してくださ"}},
      {"out", false, kIdCancel, {"EXL設計書作成開始します"}},
  };
  for (const Case& c : cases) {
    fs::remove_all("vcwk012345/fileinfo2");
    fs::create_directories("vcwk012345/fileinfo2");
    if (c.removeRecords) fs::rename("vcwk012345/FunctionList4", "records");
    host.boxes.clear();
    host.answer = c.answer;
    EXPECT_FALSE(Run(c.output)) << c.output;
    std::vector<std::string> expected;
    for (const char* b : c.boxes) expected.push_back(Sj(b));
    EXPECT_EQ(host.BoxTexts(), expected) << c.output;
    EXPECT_TRUE(busyBox.calls.empty());
    // The pass ran before the checks: its file stays.
    EXPECT_EQ(Written(), std::vector<std::string>{"INF_main.c"}) << c.output;
    if (c.removeRecords) fs::rename("records", "vcwk012345/FunctionList4");
  }
}

// The command goes on, but it did not write the design information: it fails.
TEST_F(DesignCommandTest, AMissingFileInfoFolderIsReportedAndTheCommandGoesOn) {
  fs::remove_all("vcwk012345/FILEINFO");
  g_abortRequested = 1;  // no entry tests it; the command clears it before the busy box
  EXPECT_FALSE(Run());
  EXPECT_EQ(g_abortRequested.load(), 0);
  EXPECT_EQ(busyBox.calls, "open;close;");
  EXPECT_EQ(host.BoxTexts(), (std::vector<std::string>{Sj("ファイル開けず STEP6"), Sj("EXL設計書作成開始します")}));
  EXPECT_EQ(Log(),
            "FILE INFO CREATE START     : T\n"
            "プログラム解析 ./vcwk012345/FILEINFO/*.* : FILE NOT OPEN\n"
            "FILE INFO CREATE END         : T\n");
}

// A file that the pass could not open or write fails the command after its
// box (if any); the other files are written, and the rest of the command runs
// as it would.
TEST_F(DesignCommandTest, AFileThePassCouldNotOpenOrWriteFailsTheCommand) {
  const std::string good = "[DOM]\nAPP\n[FUNCNAME]\nmain\n";
  struct Case {
    const char* name;
    std::function<void()> fault;  // made beside INF_main.c, which the pass writes
    std::vector<const char*> boxes;
  } cases[] = {
      {"no fileinfo2 folder", [] { fs::remove_all("vcwk012345/fileinfo2"); }, {"ファイル開けず"}},
      {"an output that loses its writes",
       [&] {
         WriteText("vcwk012345/FILEINFO/INF_bad.c", good);
         fs::create_symlink("/dev/full", "vcwk012345/fileinfo2/INF_bad.c");
       },
       {}},
      {"a function without a record",
       [] { WriteText("vcwk012345/FILEINFO/INF_bad.c", "[DOM]\nAPP\n[FUNCNAME]\nnosuch\n"); }, {"起動失敗"}},
      {"an input that cannot be read", [] { fs::create_symlink("/nowhere", "vcwk012345/FILEINFO/INF_bad.c"); },
       {"ファイル開けず"}},
  };
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here to stand for a full disk";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all("vcwk012345/fileinfo2");
    fs::create_directories("vcwk012345/fileinfo2");
    fs::remove("vcwk012345/FILEINFO/INF_bad.c");
    c.fault();
    host.boxes.clear();
    busyBox.calls.clear();
    EXPECT_FALSE(Run());
    std::vector<std::string> expected;
    for (const char* b : c.boxes) expected.push_back(Sj(b));
    expected.push_back(Sj("EXL設計書作成開始します"));
    EXPECT_EQ(host.BoxTexts(), expected);
    EXPECT_EQ(busyBox.calls, "open;close;");
    if (fs::is_directory("vcwk012345/fileinfo2")) {
      EXPECT_NE(ReadBytes("vcwk012345/fileinfo2/INF_main.c").find(Sj("[FUNCTION_LIST]\r\nmain\r\n")),
                std::string::npos);
    }
  }
}

TEST_F(DesignCommandTest, TheAbortFlagEndsThePassAtOnce) {
  g_abortRequested = 1;
  EXPECT_FALSE(Run());
  EXPECT_TRUE(Written().empty());
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(Log(), "FILE INFO CREATE START     : T\n");
  EXPECT_EQ(g_abortRequested.load(), 1);
}

}  // namespace
}  // namespace vandrel
