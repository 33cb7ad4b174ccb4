#include "pipeline/access_list_pass.h"

#include <filesystem>

#include "pipeline/record_fixture.h"

namespace vandrel::test {
namespace {

class AccessListPassTest : public RecordPassTest {
 protected:
  static std::string Record(const std::string& accesses) {
    return "[関数名称]\nx\n\n[変数アクセス情報]\n" + accesses + "\n[コール元]\nNONE_CALLER";
  }
  static constexpr const char* kHead = "変数アクセス箇所一覧\n\n";
};

TEST_F(AccessListPassTest, EveryAccessLineThatNamesTheVariableFunctionByFunction) {
  PutWorkFile("ValList.txt",
              "int\tcnt\t;\nstatic\tint\txcnt\t;\nint\ttable\t[\t10\t]\t;\nint\tunused\t;\n");
  PutWorkFile("FunctionList4/g", Record("cnt [R]\nbuf[] [w]\n"));
  PutWorkFile("FunctionList4/h", Record("cnt [w]\ntable[] [R]\ncnt [w]\n"));
  PutWorkFile("FunctionList4/m", Record("cnt.next [R]\np.cnt [w]\nxcnt [RET]\n"));
  PutWorkFile("FunctionList4/n", Record(""));
  PutWorkFile("FunctionList4/o", "[関数名称]\no\n\n[書込み変数]\ncnt\n\n");
  PutWorkFile("FunctionList4/p", "[変数アクセス情報]\ntable [R]\n\ncnt [R]\n");
  EXPECT_EQ(WriteAccessLists(), StepResult::Done);
  EXPECT_EQ(GetWorkFile("RAM_ALL/cnt"), std::string(kHead) +
                                            "g\n    cnt [R]\n\n"
                                            "h\n    cnt [w]\n    cnt [w]\n\n"
                                            "m\n    cnt.next [R]\n    xcnt [RET]\n\n");
  EXPECT_EQ(GetWorkFile("RAM_ALL/xcnt"), std::string(kHead) + "m\n    xcnt [RET]\n\n");
  EXPECT_EQ(GetWorkFile("RAM_ALL/table"), std::string(kHead) + "p\n    table [R]\n\n")
      << "table[] [R] holds neither table. nor table [";
  EXPECT_EQ(GetWorkFile("RAM_ALL/unused"), kHead);
  EXPECT_EQ(host.statusDetails, (std::vector<std::string>{"cnt", "xcnt", "table", "unused"}));
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(AccessListPassTest, DeclarationWithoutUsableNameIsSkippedWithOneLogLine) {
  PutWorkFile("ValList.txt", ";\nint\tok\t;\n");
  PutWorkFile("FunctionList4/f", Record("ok [R]\n"));
  EXPECT_EQ(WriteAccessLists(), StepResult::Done);
  EXPECT_EQ(GetWorkFile("RAM_ALL/ok"), std::string(kHead) + "f\n    ok [R]\n\n");
  EXPECT_EQ(LogUtf8(), "プログラム解析 [] : NOT A FILE NAME\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("vcwk012345/RAM_ALL"),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(AccessListPassTest, MissingFunctionList4IsReportedForEveryVariable) {
  PutWorkFile("ValList.txt", "int\ta\t;\nint\tb\t;\n");
  EXPECT_EQ(WriteAccessLists(), StepResult::Done);
  EXPECT_EQ(GetWorkFile("RAM_ALL/a"), kHead);
  EXPECT_EQ(GetWorkFile("RAM_ALL/b"), kHead);
  const std::string line = NotOpenLine("./vcwk012345/FunctionList4/*.*");
  EXPECT_EQ(LogUtf8(), line + line);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"ファイルOPEN失敗", "ファイルOPEN失敗"}));
}

TEST_F(AccessListPassTest, UnreadableRecordIsBoxedForEveryVariableAndAddsNothing) {
  PutWorkFile("ValList.txt", "int\ta\t;\nint\tb\t;\n");
  std::filesystem::create_directories("vcwk012345/FunctionList4");
  std::filesystem::create_symlink("nowhere", "vcwk012345/FunctionList4/broken");
  PutWorkFile("FunctionList4/f", Record("a [R]\n"));
  EXPECT_EQ(WriteAccessLists(), StepResult::Done);
  EXPECT_EQ(GetWorkFile("RAM_ALL/a"), std::string(kHead) + "f\n    a [R]\n\n");
  EXPECT_EQ(Boxes(), (std::vector<std::string>{" ", " "}));
  EXPECT_EQ(LogUtf8(), NotOpenLine("./vcwk012345/FunctionList4/broken"));
}

TEST_F(AccessListPassTest, MissingValListWritesNoAccessList) {
  PutWorkFile("FunctionList4/f", Record("a [R]\n"));
  EXPECT_EQ(WriteAccessLists(), StepResult::Done);
  EXPECT_TRUE(std::filesystem::is_directory("vcwk012345/RAM_ALL"));
  EXPECT_TRUE(std::filesystem::is_empty("vcwk012345/RAM_ALL"));
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(AccessListPassTest, AbortFlagEndsTheStep) {
  PutWorkFile("ValList.txt", "int\ta\t;\n");
  PutWorkFile("FunctionList4/f", Record("a [R]\n"));
  g_abortRequested = 1;
  EXPECT_EQ(WriteAccessLists(), StepResult::Aborted);
  EXPECT_TRUE(std::filesystem::is_empty("vcwk012345/RAM_ALL"));
}

}  // namespace
}  // namespace vandrel::test
