#include "pipeline/written_vars_pass.h"

#include "pipeline/record_fixture.h"

namespace vandrel::test {
namespace {

class WrittenVarsPassTest : public RecordPassTest {};

TEST_F(WrittenVarsPassTest, EachWrittenNameOnceAtItsFirstOccurrence) {
  PutWorkFile("FunctionList4/a", "[参照変数]\nr\n\n[書込み変数]\ncnt\nbuf[]\ncnt\n\n[戻り値]\nx\n\n");
  PutWorkFile("FunctionList4/b", "[書込み変数]\nCnt\ncnt\ns.m\n\n[書込み変数]\nlate\n\n");
  PutWorkFile("FunctionList4/c", "[書込み変数]\nNONE\nafter_none\n\n[コール元]\nNONE_CALLER");
  PutWorkFile("FunctionList4/d", "[書込み変数]\nlast");
  EXPECT_EQ(WriteWrittenVariableList(), StepResult::Done);
  EXPECT_EQ(GetWorkFile("ValList2.txt"), "cnt\nbuf[]\nCnt\ns.m\nlate\nlast\n@1END\n\n");
}

TEST_F(WrittenVarsPassTest, NoWrittenVariableGivesTheEndLineOnly) {
  PutWorkFile("FunctionList4/a", "[書込み変数]\nNONE\n\n\n");
  EXPECT_EQ(WriteWrittenVariableList(), StepResult::Done);
  EXPECT_EQ(GetWorkFile("ValList2.txt"), "@1END\n\n");
}

TEST_F(WrittenVarsPassTest, MissingFunctionList4IsReportedAndTheListStillWritten) {
  EXPECT_EQ(WriteWrittenVariableList(), StepResult::Done);
  EXPECT_EQ(GetWorkFile("ValList2.txt"), "@1END\n\n");
  EXPECT_EQ(LogUtf8(), NotOpenLine("./vcwk012345/FunctionList4/*.*"));
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"ファイル開けず STEP4"}));
}

// The table starts at g_memoryFactor x 5000 slots and grows past them.
TEST_F(WrittenVarsPassTest, MoreNamesThanTheTableSlotsAreAllListed) {
  std::string record = "[書込み変数]\n", expected;
  for (int i = 0; i < 5200; ++i) {
    record += "v" + std::to_string(i) + "\n";
    expected += "v" + std::to_string(i) + "\n";
  }
  PutWorkFile("FunctionList4/a", record + "v0\n\n");
  EXPECT_EQ(WriteWrittenVariableList(), StepResult::Done);
  EXPECT_EQ(GetWorkFile("ValList2.txt"), expected + "@1END\n\n");
  EXPECT_FALSE(std::filesystem::exists("AnalyzeLog.txt"));
}

TEST_F(WrittenVarsPassTest, AbortFlagEndsTheStepWithoutTheList) {
  PutWorkFile("FunctionList4/a", "[書込み変数]\nx\n\n");
  g_abortRequested = 1;
  EXPECT_EQ(WriteWrittenVariableList(), StepResult::Aborted);
  EXPECT_FALSE(WorkFileExists("ValList2.txt"));
}

}  // namespace
}  // namespace vandrel::test
