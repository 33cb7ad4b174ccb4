// One command at a time in a directory, and no result folder that looks
// complete unless it is: vandrel-batch run as a program in a temporary
// current directory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <functional>
#include <thread>

#include "app/batch_run.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::BatchProcess;
using test::ResultFiles;
using test::ResultFolders;
using test::RunBatch;

const fs::path kSample = fs::path(VANDREL_SOURCE_DIR) / "examples/sample";

class WorkAreaTest : public test::TempDirTest {
 protected:
  // The result of a run alone on the same sources, in a directory of its own.
  std::map<std::string, std::string> RunAlone(const std::string& source) {
    test::InFolder alone(dir() / "alone");
    fs::create_directories("out");
    test::BatchOutcome o = RunBatch("analyse '" + source + "' out");
    EXPECT_EQ(o.status, 0) << o.err;
    const auto folders = ResultFolders("out");
    return folders.size() == 1 ? ResultFiles(folders[0]) : std::map<std::string, std::string>{};
  }
  // The refusal box of a command in this directory while another holds it.
  static std::string Busy() {
    return "終了: このフォルダでは別のコマンドが実行中です：" + fs::current_path().string() + "\n";
  }
  // Every command on the results of a completed run is refused with `box`
  // and exit status 1, before it touches anything (the lock file aside).
  static void ExpectEveryCommandRefused(const std::string& box) {
    auto state = [] {
      std::map<std::string, std::string> files;
      for (const auto& e : fs::directory_iterator(".")) {
        const std::string name = e.path().filename().string();
        if (name == ".vandrel.lock" || name == "stderr.txt") continue;
        if (!e.is_directory()) files[name] = test::ReadBytes(e.path());
        if (e.is_directory())
          for (const auto& [path, bytes] : ResultFiles(e.path())) files[name + "/" + path] = bytes;
      }
      return files;
    };
    const auto before = state();
    ASSERT_TRUE(before.count("AnalyzeLog.txt") && before.count("vcwk012345/FunctionList4/f0_0"));
    for (const char* args : {"analyse src out", "call-tree f0_0 out", "variable g out", "design-doc out"}) {
      test::BatchOutcome o = RunBatch(args);
      EXPECT_EQ(o.status, 1) << args;
      EXPECT_EQ(o.err, box) << args;
      EXPECT_TRUE(o.out.empty()) << args;
    }
    EXPECT_TRUE(state() == before);
  }
  static std::string LockRefusal() {
    return "終了: ロックファイルを作成できません：" + (fs::current_path() / ".vandrel.lock").string() + "\n";
  }
  // Two runs within one second share their result folder's name.
  static void NextSecond() {
    const std::time_t now = std::time(nullptr);
    while (std::time(nullptr) == now) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
};

TEST_F(WorkAreaTest, OfTwoRunsStartedTogetherOneRunsAndTheOtherIsRefused) {
  test::WriteSourceTree("src", 10, 20);
  const std::string src = fs::absolute("src").string();
  const auto alone = RunAlone(src);
  ASSERT_FALSE(alone.empty());
  fs::create_directories("out");
  BatchProcess a({"analyse", src, "out"}), b({"analyse", src, "out"});
  const int statusA = a.Wait(), statusB = b.Wait();
  ASSERT_EQ(std::min(statusA, statusB), 0) << a.Seen() << b.Seen();
  ASSERT_EQ(std::max(statusA, statusB), 1) << a.Seen() << b.Seen();
  EXPECT_EQ((statusA == 1 ? a : b).Seen(), Busy());
  const auto folders = ResultFolders("out");
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_TRUE(ResultFiles(folders[0]) == alone);
}

// Every command started while an analyse holds the directory is refused
// before it touches anything, and the analyse ends as a run alone does.
TEST_F(WorkAreaTest, WhileARunHoldsTheDirectoryEveryCommandIsRefused) {
  test::WriteSourceTree("src", 10, 20);
  const std::string src = fs::absolute("src").string();
  const auto alone = RunAlone(src);
  fs::create_directories("out");
  BatchProcess run({"analyse", src, "out"});
  ASSERT_TRUE(run.ReadUntil("ヘッダ・プリプロ解析中")) << run.Seen();
  run.Signal(SIGSTOP);
  for (const char* args : {"analyse src out", "call-tree f0_0 out", "variable g out", "design-doc out"}) {
    test::BatchOutcome o = RunBatch(args);
    EXPECT_EQ(o.status, 1) << args;
    EXPECT_EQ(o.err, Busy()) << args;
    EXPECT_TRUE(o.out.empty()) << args;
  }
  run.Signal(SIGCONT);
  ASSERT_EQ(run.Wait(), 0) << run.Seen();
  const auto folders = ResultFolders("out");
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_TRUE(ResultFiles(folders[0]) == alone);
}

// Source "." twice: the second run does not take the first one's work
// folder, set aside beside the new one, for sources.
TEST_F(WorkAreaTest, TheCurrentDirectoryAsSourceFolderTwice) {
  fs::copy(kSample, "proj", fs::copy_options::recursive);
  test::InFolder proj("proj");
  std::map<std::string, std::string> results[2];
  for (int run = 0; run < 2; ++run) {
    const std::string out = "../out" + std::to_string(run);
    fs::create_directories(out);
    test::BatchOutcome o = RunBatch("analyse . " + out);
    ASSERT_EQ(o.status, 0) << o.err;
    results[run] = ResultFiles(ResultFolders(out).at(0));
  }
  EXPECT_EQ(std::count(results[1]["FunctionList_Body.txt"].begin(), results[1]["FunctionList_Body.txt"].end(), '\n'),
            12);
  EXPECT_TRUE(results[1] == results[0]);
  const std::string log = ToUtf8(test::ReadBytes("AnalyzeLog.txt"));
  EXPECT_EQ(log.find("DUPLICATE FUNCTION"), std::string::npos) << log;
  EXPECT_EQ(log.find("vcwk012345"), std::string::npos) << log;
}

// An output folder in the source tree holds the results of earlier runs:
// the walks leave it out (and the result folders of an output folder that
// is the source folder itself), with one log line each.
TEST_F(WorkAreaTest, AnOutputFolderInsideTheSourceFolderIsNotAnalysed) {
  struct Case {
    const char* output;
    const char* logLines[2];  // of the first and the second run
  } cases[] = {{"src/results", {": OUTPUT FOLDER, NOT WALKED\r\n", ": OUTPUT FOLDER, NOT WALKED\r\n"}},
               {"src", {"", ": RESULT FOLDER, NOT WALKED\r\n"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output);
    fs::remove_all("src");
    fs::copy(kSample, "src", fs::copy_options::recursive);
    fs::create_directories(c.output);
    std::map<std::string, std::string> first;
    for (int run = 0; run < 2; ++run) {
      NextSecond();
      test::BatchOutcome o = RunBatch(std::string("analyse src ") + c.output);
      ASSERT_EQ(o.status, 0) << o.err;
      const auto files = ResultFiles(fs::path(o.out.substr(0, o.out.size() - 1)).parent_path());
      if (run == 0)
        first = files;
      else
        EXPECT_TRUE(files == first);
      std::string log = test::ReadBytes("AnalyzeLog.txt");
      std::string lines;
      for (size_t at = 0; (at = log.find(" FOLDER, NOT WALKED\r\n", at)) != std::string::npos; ++at)
        lines += log.substr(log.rfind(": ", at), log.find('\n', at) + 1 - log.rfind(": ", at));
      EXPECT_EQ(lines, c.logLines[run]) << ToUtf8(log);
    }
  }
}

// A result folder of an earlier run, moved into the source tree under any
// name, is left out with one log line; the folders of a user's own that
// hold some of what a result folder holds are walked.
TEST_F(WorkAreaTest, AResultFolderInsideTheSourceTreeIsNotWalked) {
  fs::copy(kSample, "src", fs::copy_options::recursive);
  // Three folders of the user's, each without one of the three (a file of
  // that name in its place), each with a function in the other two.
  const char* held[] = {"DEFINE", "プリプロ展開ソフト", "[解析テンポラリ]"};
  for (int lacking = 0; lacking < 3; ++lacking) {
    const fs::path mine = "src/mine" + std::to_string(lacking);
    test::WriteBytes(mine / held[lacking], "");
    for (int k = 0; k < 3; ++k)
      if (k != lacking)
        test::WriteBytes(mine / held[k] / "own.c", "int own" + std::to_string(lacking) + std::to_string(k) +
                                                        "(void)\r\n{\r\n  return 0;\r\n}\r\n");
  }
  const std::string src = fs::absolute("src").string();
  const auto alone = RunAlone(src);
  for (const char* own : {"own01", "own02", "own10", "own12", "own20", "own21"})
    ASSERT_NE(alone.at("FunctionList_Body.txt").find(own), std::string::npos) << own;

  fs::create_directories("src/old");
  ASSERT_EQ(RunBatch("analyse '" + src + "' src/old").status, 0);
  const auto earlier = ResultFolders("src/old");
  ASSERT_EQ(earlier.size(), 1u);
  fs::rename(earlier[0], "src/results_2");
  fs::remove_all("src/old");

  fs::create_directories("out");
  test::BatchOutcome o = RunBatch("analyse '" + src + "' out");
  ASSERT_EQ(o.status, 0) << o.err;
  const auto folders = ResultFolders("out");
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_TRUE(ResultFiles(folders[0]) == alone);
  const std::string log = ToUtf8(test::ReadBytes("AnalyzeLog.txt"));
  const std::string line = "プログラム解析 " + src + "/results_2 : RESULT FOLDER, NOT WALKED\r\n";
  const size_t at = log.find(line);
  EXPECT_NE(at, std::string::npos) << log;
  EXPECT_EQ(log.find("FOLDER, NOT WALKED", at + line.size()), std::string::npos) << log;
}

// A run deletes its work folder's earlier state and the folder set aside:
// an output folder there fails the output check, and nothing is written. A
// link counts where it leads, also to a folder that the run makes again only
// later (the work folder's HTML, deleted with its earlier state).
TEST_F(WorkAreaTest, AnOutputFolderInsideTheWorkAreaFailsTheOutputCheck) {
  fs::create_directories("out");
  fs::create_directory_symlink("vcwk012345/HTML", "lh");
  fs::create_directory_symlink(fs::absolute("vcwk012345/RAM"), "la");
  fs::create_directory_symlink("lh", "chain");
  fs::create_directories("d");
  fs::create_directory_symlink("../vcwk012345.old/HTML", "d/lo");
  for (const char* output : {"vcwk012345.old", "vcwk012345", "vcwk012345/DEF", "vcwk012345.old/HTML",
                             "./VCWK012345.OLD", "lh", "la", "chain", "d/lo"}) {
    SCOPED_TRACE(output);
    ASSERT_EQ(RunBatch("analyse '" + kSample.string() + "' out").status, 0);  // a work folder to set aside
    test::BatchOutcome o = RunBatch("analyse '" + kSample.string() + "' " + output);
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("終了: 出力フォルダを指定してください\n"), std::string::npos) << o.err;
    EXPECT_TRUE(o.out.empty());
    for (const auto& e : fs::recursive_directory_iterator("."))
      EXPECT_FALSE(e.path().filename() == "index.html" && e.path().string().rfind("./out/", 0) != 0) << e.path();
  }
}

// Two runs in two run folders with one output folder, one right after the
// other (within a second: the sample takes less): each copies into a result
// folder of its own, and both are whole.
TEST_F(WorkAreaTest, RunsOfOneSecondGetAResultFolderEach) {
  const auto alone = RunAlone(kSample.string());
  const fs::path out = dir() / "out";
  fs::create_directories(out);
  NextSecond();
  std::vector<std::string> printed;
  for (const char* folder : {"a", "b"}) {
    test::InFolder run(dir() / folder);
    test::BatchOutcome o = RunBatch("analyse '" + kSample.string() + "' '" + out.string() + "'");
    ASSERT_EQ(o.status, 0) << o.err;
    printed.push_back(o.out);
  }
  EXPECT_NE(printed[0], printed[1]);
  const auto folders = ResultFolders(out);
  ASSERT_EQ(folders.size(), 2u);
  for (const fs::path& f : folders) EXPECT_TRUE(ResultFiles(f) == alone) << f;
}

// Ctrl-C while the results are copied cancels the run: no result folder is
// left, the work folder is not offered to the commands on the results, and
// the next run is whole.
TEST_F(WorkAreaTest, CtrlCDuringTheCopiesLeavesNoResultFolder) {
  test::WriteSourceTree("src", 20, 20);
  const std::string src = fs::absolute("src").string();
  const auto alone = RunAlone(src);
  fs::create_directories("out");
  {
    BatchProcess run({"analyse", src, "out"});
    ASSERT_TRUE(run.ReadUntil("関数情報抽出完了")) << run.Seen();  // the pipeline's last status
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (fs::is_empty("out") && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    run.Signal(SIGINT);
    EXPECT_EQ(run.Wait(), 1) << run.Seen();
    EXPECT_NE(run.Seen().find("実行中断\n"), std::string::npos) << run.Seen();
    EXPECT_EQ(run.Seen().find("解析完了 結果を起動します"), std::string::npos) << run.Seen();
  }
  EXPECT_TRUE(fs::is_empty("out"));
  test::BatchOutcome query = RunBatch("call-tree f0_0 out");
  EXPECT_EQ(query.status, 1);
  EXPECT_EQ(query.err, "コールツリーHTML作成中\n終了: 解析結果がありません\n");

  test::BatchOutcome next = RunBatch("analyse '" + src + "' out");
  ASSERT_EQ(next.status, 0) << next.err;
  const auto folders = ResultFolders("out");
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_TRUE(ResultFiles(folders[0]) == alone);
}

// A run killed before its end leaves records but no completion mark: the
// commands on the results refuse it with the dialog's boxes for missing
// results. (The killed process's lock went with it.)
TEST_F(WorkAreaTest, CommandsOnTheResultsOfAKilledRunAreRefused) {
  test::WriteSourceTree("src", 20, 20);
  fs::create_directories("out");
  {
    BatchProcess run({"analyse", "src", "out"});
    // The records reach the disk behind the run; by the control design's
    // start the written-variable step has listed them, so they are there.
    ASSERT_TRUE(run.ReadUntil("制御仕様作成中")) << run.Seen();
    run.Signal(SIGKILL);
    EXPECT_EQ(run.Wait(), -1);
  }
  ASSERT_TRUE(fs::exists("vcwk012345/FunctionList4/f0_0"));
  test::ExpectResultsRefused("f0_0", "a");
}

// A lock file that cannot be opened takes no lock, and so no command may run
// (two analyses at once would write one work folder).
TEST_F(WorkAreaTest, ALockFileThatCannotBeOpenedRefusesEveryCommand) {
  test::WriteSourceTree("src", 2, 3);
  fs::create_directories("out");
  ASSERT_EQ(RunBatch("analyse src out").status, 0);
  struct Case {
    const char* what;
    std::function<void()> make;
  } cases[] = {
      {"a folder", [] { fs::create_directory(".vandrel.lock"); }},
      {"a link into a missing folder", [] { fs::create_symlink("missing/x.lock", ".vandrel.lock"); }},
      {"a link to itself", [] { fs::create_symlink(".vandrel.lock", ".vandrel.lock"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(".vandrel.lock");
    c.make();
    ExpectEveryCommandRefused(LockRefusal());
  }
}

TEST_F(WorkAreaTest, ALockFileTheUserMayNotReadRefusesEveryCommand) {
  if (geteuid() == 0) GTEST_SKIP() << "root opens a file whatever its permissions";
  test::WriteSourceTree("src", 2, 3);
  fs::create_directories("out");
  ASSERT_EQ(RunBatch("analyse src out").status, 0);
  fs::permissions(".vandrel.lock", fs::perms::none);
  ExpectEveryCommandRefused(LockRefusal());
}

}  // namespace
}  // namespace vandrel
