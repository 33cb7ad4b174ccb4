#include "pipeline/caller_pass.h"

#include <filesystem>

#include "pipeline/record_fixture.h"

namespace vandrel::test {
namespace {

class CallerPassTest : public RecordPassTest {
 protected:
  // A final record ends with its access section.
  static constexpr const char* kRecord = "[関数名称]\nx\n\n[変数アクセス情報]\n\n\n";
  void Record(const std::string& name) { PutWorkFile("FunctionList4/" + name, kRecord); }
  void Calls(const std::string& name, const std::string& calls) {
    PutWorkFile("func_als2/" + name, "[関数名称]\n" + name + "\n\n[コール関数]\n" + calls +
                                         "\n[参照変数]\nNONE\n\n");
  }
  std::string Callers(const std::string& name) {
    std::string r = GetWorkFile("FunctionList4/" + name);
    EXPECT_EQ(r.rfind(kRecord, 0), 0u) << name;
    return r.substr(std::string(kRecord).size());
  }
};

TEST_F(CallerPassTest, CallersAreListedOnceInScanOrder) {
  for (const char* f : {"init", "main", "g", "h", "loop", "reinit", "lonely"}) Record(f);
  Calls("g", "init(1)\ninit(2)\n");
  Calls("h", "work(x)\ninit(3)\n");
  Calls("main", "reinit()\ng()\nh()\n");
  Calls("loop", "loop(n-1)\n");
  Calls("reinit", "NONE\n");
  Calls("lonely", "");
  EXPECT_EQ(AppendCallerLists(), StepResult::Done);
  EXPECT_EQ(Callers("init"), "[コール元]\ng\nh\nmain\n\n") << "main calls reinit";
  EXPECT_EQ(Callers("g"), "[コール元]\nmain\n\n");
  EXPECT_EQ(Callers("loop"), "[コール元]\nloop\n\n") << "a recursive function calls itself";
  EXPECT_EQ(Callers("main"), "[コール元]\nNONE_CALLER") << "no line end after NONE_CALLER";
  EXPECT_EQ(Callers("lonely"), "[コール元]\nNONE_CALLER");
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(host.statusDetails,
            (std::vector<std::string>{"g", "h", "init", "lonely", "loop", "main", "reinit"}));
}

TEST_F(CallerPassTest, OnlyTheFirstCallSectionUpToNoneCounts) {
  Record("f");
  PutWorkFile("func_als2/a", "[コール関数]\nNONE\nf(1)\n\n[コール関数]\nf(2)\n\n");
  PutWorkFile("func_als2/b", "[参照変数]\nf(1)\n\n");
  PutWorkFile("func_als2/c", "[コール関数]\nx(f(1))\n");  // ends without an empty line
  EXPECT_EQ(AppendCallerLists(), StepResult::Done);
  EXPECT_EQ(Callers("f"), "[コール元]\nc\n\n");
}

TEST_F(CallerPassTest, MissingFunctionList4IsLoggedAndBoxed) {
  Calls("a", "b()\n");
  EXPECT_EQ(AppendCallerLists(), StepResult::Done);
  EXPECT_EQ(LogUtf8(), NotOpenLine("./vcwk012345/FunctionList4/*.*"));
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"FunctionList4 開けず STEP3-7"}));
}

TEST_F(CallerPassTest, MissingFuncAls2IsBoxedForEveryRecordWithoutLogLine) {
  Record("a");
  Record("b");
  EXPECT_EQ(AppendCallerLists(), StepResult::Done);
  EXPECT_EQ(Callers("a"), "[コール元]\nNONE_CALLER");
  EXPECT_EQ(Callers("b"), "[コール元]\nNONE_CALLER");
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"func_als2 開けず STEP3-7", "func_als2 開けず STEP3-7"}));
  EXPECT_FALSE(std::filesystem::exists("AnalyzeLog.txt"));
}

TEST_F(CallerPassTest, AbortFlagEndsTheStepWithoutWriting) {
  Record("a");
  Calls("b", "a()\n");
  g_abortRequested = 1;
  EXPECT_EQ(AppendCallerLists(), StepResult::Aborted);
  EXPECT_EQ(GetWorkFile("FunctionList4/a"), kRecord);
}

}  // namespace
}  // namespace vandrel::test
