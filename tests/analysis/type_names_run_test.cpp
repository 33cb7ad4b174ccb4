// Type names of a large program in a whole analysis run: a header declares
// thousands of typedef names, and a later file builds on the last of them.
#include <gtest/gtest.h>

#include <cstdio>

#include "commands/analyse_command.h"
#include "commands/command_fixture.h"
#include "reader/token_kind.h"
#include "reader/type_name_guard.h"

namespace vandrel {
namespace {

std::string TypeName(int i) {
  char name[16];
  std::snprintf(name, sizeof name, "T%05d", i);
  return name;
}

class TypeNamesRunTest : public test::TempDirTest, public ::testing::WithParamInterface<int> {
 protected:
  test::TypeNameTableGuard guard_;
  test::RecordingHost host;
  test::TestView view{host};
};

// "typedef struct T ALIAS;" names ALIAS only when T is a type name already.
TEST_P(TypeNamesRunTest, EveryTypedefNameStaysATypeName) {
  const int count = GetParam();
  std::string header, typedefs;
  for (int i = 0; i < count; ++i) {
    header += "typedef int " + TypeName(i) + ";\r\n";
    typedefs += TypeName(i) + "\r\n";
  }
  test::WriteBytes("src/types.h", header);
  test::WriteBytes("src/use.c", "#include \"types.h\"\r\ntypedef struct " + TypeName(count - 1) +
                                    " ALIAS;\r\nint f(int a)\r\n{\r\n  return a;\r\n}\r\n");
  std::filesystem::create_directories("out");
  view.onShow = [] { return false; };
  ASSERT_EQ(OnAnalyse(AnalyseRequest{"src", "out", 1, false}, view).outcome,
            AnalyseOutcome::Completed);
  JoinAnalysisWorker();

  EXPECT_EQ(test::ReadBytes("vcwk012345/Typedef.txt"), typedefs + "ALIAS\r\n");
  EXPECT_EQ(test::ReadBytes("AnalyzeLog.txt").find(test::Sj("配列OVER")), std::string::npos);
  for (int i = 0; i < count; ++i) ASSERT_EQ(ClassifyToken(TypeName(i)), kKindTypeName) << i;
}

INSTANTIATE_TEST_SUITE_P(Sizes, TypeNamesRunTest, ::testing::Values(3000, 20000),
                         ::testing::PrintToStringParamName());

}  // namespace
}  // namespace vandrel
