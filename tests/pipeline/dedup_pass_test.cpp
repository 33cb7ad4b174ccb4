#include "pipeline/dedup_pass.h"

#include <filesystem>

#include "pipeline/record_fixture.h"

namespace vandrel::test {
namespace {

class DedupPassTest : public RecordPassTest {};

struct DedupCase {
  const char* what;
  const char* in;
  const char* out;
};

TEST_F(DedupPassTest, ReadWrittenAndCalledNamesAreListedOnce) {
  const DedupCase cases[] = {
      {"reads made equal by step 5", "[参照変数]\ni\na[]\nj\na[]\n\n[書込み変数]\nx\n\n",
       "[参照変数]\ni\na[]\nj\n\n[書込み変数]\nx\n\n"},
      {"first call kept at its place, case matters",
       "[コール関数]\ninit(x)\nInit(x)\ninit(x)\nf()\n\n",
       "[コール関数]\ninit(x)\nInit(x)\nf()\n\n"},
      {"other sections keep their repeats",
       "[戻り値]\nx\nx\n\n[変数アクセス情報]\na [R]\na [R]\n\n",
       "[戻り値]\nx\nx\n\n[変数アクセス情報]\na [R]\na [R]\n\n"},
      {"the end marker never reaches the file", "[書込み変数]\neeed\nw\neeed\n\n",
       "[書込み変数]\nw\n\n"},
      {"NONE with two empty lines keeps the second", "[参照変数]\nNONE\n\n\n[書込み変数]\nNONE\n\n",
       "[参照変数]\nNONE\n\n\n[書込み変数]\nNONE\n\n"},
      {"a section that runs to the end gets its empty line", "[コール関数]\nf()\nf()",
       "[コール関数]\nf()\n\n"},
      {"an empty section", "[書込み変数]\n\n[戻り値]\nNONE\n\n", "[書込み変数]\n\n[戻り値]\nNONE\n\n"},
  };
  for (const auto& c : cases) {
    PutWorkFile("func_als1_5/f", c.in);
    ASSERT_EQ(RemoveDuplicateEntries(), StepResult::Done);
    EXPECT_EQ(GetWorkFile("func_als2/f"), c.out) << c.what;
    std::filesystem::remove_all("vcwk012345/func_als2");
  }
}

TEST_F(DedupPassTest, EveryRecordOfTheFolderIsWrittenAndItsLinesCounted) {
  PutWorkFile("func_als1_5/a", "[参照変数]\nx\nx\n\n");
  PutWorkFile("func_als1_5/b", "[フォルダ名]\nSRC\n\n");
  std::filesystem::create_directories("vcwk012345/func_als1_5/sub");
  EXPECT_EQ(RemoveDuplicateEntries(), StepResult::Done);
  EXPECT_EQ(GetWorkFile("func_als2/a"), "[参照変数]\nx\n\n");
  EXPECT_EQ(GetWorkFile("func_als2/b"), "[フォルダ名]\nSRC\n\n");
  EXPECT_FALSE(WorkFileExists("func_als2/sub"));
  EXPECT_EQ(static_cast<int>(g_lineCounter), 7);
  EXPECT_EQ(host.statusDetails, (std::vector<std::string>{"a", "b"}));
}

TEST_F(DedupPassTest, MissingInputFolderIsLoggedAndBoxed) {
  EXPECT_EQ(RemoveDuplicateEntries(), StepResult::Done);
  EXPECT_TRUE(std::filesystem::is_directory("vcwk012345/func_als2"));
  EXPECT_EQ(LogUtf8(), NotOpenLine("./vcwk012345/func_als1_5/*.*"));
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"ファイル開けず STEP2"}));
}

// A record that cannot be read, or whose output cannot be created, is
// skipped with a log line; the step goes on with the next record.
TEST_F(DedupPassTest, UnreadableOrUncreatableRecordsAreSkippedWithALogLine) {
  PutWorkFile("func_als1_5/a", "[参照変数]\nx\n\n");
  PutWorkFile("func_als1_5/c", "[参照変数]\ny\ny\n\n");
  PutWorkFile("func_als1_5/d", "z\n");
  std::filesystem::create_symlink("nowhere", "vcwk012345/func_als1_5/b");
  std::filesystem::create_directories("vcwk012345/func_als2/c");
  EXPECT_EQ(RemoveDuplicateEntries(), StepResult::Done);
  EXPECT_EQ(GetWorkFile("func_als2/a"), "[参照変数]\nx\n\n");
  EXPECT_EQ(GetWorkFile("func_als2/d"), "z\n");
  EXPECT_EQ(LogUtf8(),
            NotOpenLine("./vcwk012345/func_als1_5/b") +
            "プログラム解析 ./vcwk012345/func_als2/c : FILE CREATE FAIL\r\n");
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(DedupPassTest, AbortFlagEndsTheStepBeforeTheNextRecord) {
  PutWorkFile("func_als1_5/a", "x\n");
  g_abortRequested = 1;
  EXPECT_EQ(RemoveDuplicateEntries(), StepResult::Aborted);
  EXPECT_FALSE(WorkFileExists("func_als2/a"));
}

}  // namespace
}  // namespace vandrel::test
