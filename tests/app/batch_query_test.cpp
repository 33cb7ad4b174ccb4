// The batch commands on the last run's results: call-tree, variable, design-doc.
#include <gtest/gtest.h>

#include "app/batch_run.h"
#include "reports/function_tree_records.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::RunBatch;

class BatchQueryTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    fs::create_directories("out");
    fs::create_directories("vcwk012345/fileinfo2");
    test::commands::WriteCalls("main", {"sub()"}, {"g_x [w]"});
    test::commands::WriteCalls("sub", {}, {"g_x [R]"});
    test::commands::WriteText("vcwk012345/HTML/CallTree/call_tree.txt", "--main\n\t|--sub\n");
    test::commands::WriteText("vcwk012345/FILEINFO/INF_main.c", "[DOM]\nAPP\n[FUNCNAME]\nmain\n");
    test::commands::MarkRunCompleted();
  }
  size_t OutputFolders() {
    return std::distance(fs::directory_iterator("out"), fs::directory_iterator());
  }
};

TEST_F(BatchQueryTest, CallTree) {
  test::BatchOutcome o = RunBatch("call-tree main out");
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.err, "コールツリーHTML作成中\nコールツリー完了\nコールツリー完了\n終了: コールツリー作成完了\n");
  ASSERT_EQ(OutputFolders(), 1u);
  fs::path folder = *fs::directory_iterator("out");
  EXPECT_EQ(test::commands::ReadText((folder / "call_tree_main.txt").string()), "--main\n\t|--sub\n");

  o = RunBatch("call-tree nosuch out");
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "コールツリーHTML作成中\n終了: 該当関数が存在しません\n");
  o = RunBatch("call-tree main nosuch");
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("終了: コピー失敗\nコールツリー完了\n終了: コールツリー作成完了\n"), std::string::npos) << o.err;
}

TEST_F(BatchQueryTest, Variable) {
  test::BatchOutcome o = RunBatch("variable g_x out");
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.err, "g_x変数分析中\n  main\n  sub\ng_x変数分析終了\n終了: g_x変数分析終了\n");
  ASSERT_EQ(OutputFolders(), 1u);
  fs::path folder = *fs::directory_iterator("out");
  EXPECT_EQ(test::commands::ReadText((folder / "Ram_g_xTree.txt").string()),
            "--main\n\t\t▲g_x [w]\n\t|--sub\n\t\t\t▲g_x [R]\n");
}

// With --open the copy's index.html goes to xdg-open; an open fails when the
// copy is missing (xdg-open is not started) or when xdg-open fails.
TEST_F(BatchQueryTest, OpenAndItsFailures) {
  struct Case {
    const char* args;
    int xdgStatus;
    const char* tail;  // the end of standard error
    bool handedOver;
  } cases[] = {
      {"call-tree main out --open", 0, "終了: コールツリー作成完了\n", true},
      {"call-tree main out --open", 1, "終了: コールツリー作成完了\n終了: 起動失敗\n", true},
      {"call-tree main nosuch --open", 0,
       "終了: コピー失敗\nコールツリー完了\n終了: コールツリー作成完了\n終了: 起動失敗\n", false},
      {"variable g_x nosuch --open", 0, "g_x変数分析終了\n終了: コピー失敗\n終了: g_x変数分析終了\n終了: 起動失敗\n",
       false},
  };
  for (const Case& c : cases) {
    test::BatchOutcome o = RunBatch(c.args, test::FakeXdgOpen(c.xdgStatus));
    const std::string tail = c.tail;
    EXPECT_TRUE(o.err.size() >= tail.size() && o.err.compare(o.err.size() - tail.size(), tail.size(), tail) == 0)
        << c.args << "\n" << o.err;
    EXPECT_EQ(fs::exists("bin/opened.txt"), c.handedOver) << c.args;
    if (c.handedOver) {
      const std::string opened = test::ReadBytes("bin/opened.txt");
      EXPECT_TRUE(opened.starts_with((fs::current_path() / "out/").string()) &&
                  opened.ends_with("_main/index.html"))
          << opened;
    }
  }
}

TEST_F(BatchQueryTest, DesignDocAnswersItsQuestionWithOk) {
  test::BatchOutcome o = RunBatch("design-doc out");
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.err, "  INF_main.c\n終了: EXL設計書作成開始します\n");
  EXPECT_TRUE(fs::exists("vcwk012345/fileinfo2/INF_main.c"));
  o = RunBatch("design-doc nosuch");
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("終了: 出力フォルダを指定してください\n"), std::string::npos) << o.err;
}

// Design information that could not be written ends the command with 1,
// after the boxes the dialog shows.
TEST_F(BatchQueryTest, DesignDocThatWroteNothingEndsWithOne) {
  struct Case {
    const char* name;
    const char* folder;  // removed before the command
    std::string err;
  } cases[] = {
      {"no FILEINFO", "vcwk012345/FILEINFO", "終了: ファイル開けず STEP6\n終了: EXL設計書作成開始します\n"},
      {"no fileinfo2", "vcwk012345/fileinfo2", "  INF_main.c\n終了: ファイル開けず\n終了: EXL設計書作成開始します\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::rename(c.folder, "aside");
    test::BatchOutcome o = RunBatch("design-doc out");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, c.err);
    EXPECT_FALSE(fs::exists("vcwk012345/fileinfo2/INF_main.c"));
    fs::rename("aside", c.folder);
  }
}

TEST_F(BatchQueryTest, WithoutTheResultsOfARunEveryCommandEndsWithOne) {
  fs::remove_all("vcwk012345");
  test::ExpectResultsRefused("main", "g_x");
}

// A query file that cannot be written ends the command as the dialog's does,
// without a box: the status line says that it stopped.
TEST_F(BatchQueryTest, AnEndWithoutABoxGetsAStatusLine) {
  fs::remove_all("vcwk012345/HTML");
  test::BatchOutcome o = RunBatch("call-tree main out");
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "コールツリーHTML作成中\n実行中断\n");
}

TEST_F(BatchQueryTest, UsageErrors) {
  for (const char* args : {"call-tree main", "variable", "variable a b c", "design-doc out --open",
                           "design-doc", "call-tree main out --memory 2", "variable g_x out --bogus"}) {
    test::BatchOutcome o = RunBatch(args);
    EXPECT_EQ(o.status, 2) << args;
    EXPECT_NE(o.err.find("usage:"), std::string::npos) << args;
  }
}

TEST_F(BatchQueryTest, NamesArriveAsCp932) {
  test::commands::WriteCalls("表示", {});
  test::BatchOutcome o = RunBatch("call-tree 表示 out");
  EXPECT_EQ(o.status, 0) << o.err;
  fs::path folder = *fs::directory_iterator("out");
  EXPECT_EQ(test::commands::ReadText((folder / "call_tree_表示.txt").string()), "--表示\n");
}

}  // namespace
}  // namespace vandrel
