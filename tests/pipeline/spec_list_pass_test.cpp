#include "pipeline/spec_list_pass.h"

#include <filesystem>

#include "pipeline/record_fixture.h"

namespace vandrel::test {
namespace {

class SpecListPassTest : public RecordPassTest {};

TEST_F(SpecListPassTest, EverySourceCopyIsHandedOnByName) {
  PutWorkFile("SOURCE/b", "[SOURCE]\n");
  PutWorkFile("SOURCE/a", "[SOURCE]\n");
  std::filesystem::create_directories("vcwk012345/SOURCE/sub");
  EXPECT_EQ(WriteControlSpecifications(), StepResult::Done);
  EXPECT_TRUE(std::filesystem::is_directory("vcwk012345/SOURCE3"));
  EXPECT_EQ(host.statusDetails, (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(SpecListPassTest, MissingSourceFolderIsReportedAndSource3StillCreated) {
  EXPECT_EQ(WriteControlSpecifications(), StepResult::Done);
  EXPECT_TRUE(std::filesystem::is_directory("vcwk012345/SOURCE3"));
  EXPECT_EQ(LogUtf8(), NotOpenLine("./vcwk012345/SOURCE/*.*"));
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"ファイル開けず STEP4"}));
}

TEST_F(SpecListPassTest, AbortFlagEndsTheStepBeforeTheNextFile) {
  PutWorkFile("SOURCE/a", "[SOURCE]\n");
  g_abortRequested = 1;
  EXPECT_EQ(WriteControlSpecifications(), StepResult::Aborted);
  EXPECT_TRUE(host.statusDetails.empty());
}

}  // namespace
}  // namespace vandrel::test
