#include "pipeline/func_info_pass.h"

#include <filesystem>

#include "pipeline/record_fixture.h"

namespace vandrel::test {
namespace {

class FuncInfoPassTest : public RecordPassTest {
 protected:
  void SetUp() override {
    RecordPassTest::SetUp();
    std::filesystem::create_directories("vcwk012345/FILEINFO");
  }
  static constexpr const char* kHeader = "\t[関数名]\t\t[行数]\t[有効行数]\t[コメント数]\n";
};

TEST_F(FuncInfoPassTest, OneRowPerFileAndFunctionOfTheCInformationFiles) {
  PutWorkFile("FILEINFO/INF_main.c",
              "[DOM]\nSRC\n[FILENAME]\nmain.c\n"
              "[FUNCNAME]\nmain\n[LINE COUNT]\n30\n[LINE COUNT V]\n25\n[COMMNET]\n3\n"
              "[FUNCNAME]\ninit\n[LINE COUNT]\n10\n[LINE COUNT V]\n8\n[COMMNET]\n1\n");
  PutWorkFile("FILEINFO/INF_empty.c", "[DOM]\nSRC\n[FILENAME]\nempty.c\n");
  PutWorkFile("FILEINFO/INF_cut.c", "[FILENAME]\ncut.c\n[FUNCNAME]\nf\n[LINE COUNT]\n4\n");
  PutWorkFile("FILEINFO/INF_x.h", "[FILENAME]\nx.h\n");
  PutWorkFile("FILEINFO/INF_y.cpp", "[FILENAME]\ny.cpp\n");
  CreateFunctionInfoList();
  EXPECT_EQ(WriteFunctionInfoList(), StepResult::Done);
  EXPECT_EQ(GetWorkFile("FILEINFO/FileFuncInfo.txt"),
            std::string(kHeader) +
                "[ファイル名] cut.c\n  f\t\t4\t\t\n\n"
                "[ファイル名] empty.c\n\n"
                "[ファイル名] main.c\n  main\t\t30\t25\t3\n  init\t\t10\t8\t1\n\n");
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(FuncInfoPassTest, WithoutCInformationFilesOnlyTheHeaderAndABox) {
  PutWorkFile("FILEINFO/INF_x.h", "[FILENAME]\nx.h\n");
  CreateFunctionInfoList();
  EXPECT_EQ(WriteFunctionInfoList(), StepResult::Done);
  EXPECT_EQ(GetWorkFile("FILEINFO/FileFuncInfo.txt"), kHeader);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"ファイル開けず STEP5"}));
}

TEST_F(FuncInfoPassTest, ListThatCannotBeCreatedIsBoxedForEachFile) {
  std::filesystem::create_directories("vcwk012345/FILEINFO/FileFuncInfo.txt");
  PutWorkFile("FILEINFO/INF_a.c", "[FILENAME]\na.c\n");
  CreateFunctionInfoList();
  EXPECT_EQ(WriteFunctionInfoList(), StepResult::Done);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"AllFincInfo作成失敗", "AllFincInfo作成失敗"}));
}

TEST_F(FuncInfoPassTest, UnreadableInformationFileIsSkippedWithALogLine) {
  std::filesystem::create_symlink("nowhere", "vcwk012345/FILEINFO/INF_a.c");
  PutWorkFile("FILEINFO/INF_b.c", "[FILENAME]\nb.c\n");
  CreateFunctionInfoList();
  EXPECT_EQ(WriteFunctionInfoList(), StepResult::Done);
  EXPECT_EQ(GetWorkFile("FILEINFO/FileFuncInfo.txt"), std::string(kHeader) + "[ファイル名] b.c\n\n");
  EXPECT_EQ(LogUtf8(), NotOpenLine("./vcwk012345/FILEINFO/INF_a.c"));
}

}  // namespace
}  // namespace vandrel::test
