// Steps 1 and 2 inside a whole analysis run started by the analyse command.
#include <gtest/gtest.h>

#include "commands/analyse_command.h"
#include "commands/command_fixture.h"
#include "platform/text_file.h"
#include "prepro/define_table.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;

class AnalyseRunTest : public test::TempDirTest {
 protected:
  std::string Work(const std::string& path) {
    std::string text;
    EXPECT_TRUE(ReadTextFile("vcwk012345/" + path, text)) << path;
    return text;
  }
  test::RecordingHost host;
  test::TestView view{host};
};

TEST_F(AnalyseRunTest, TheRunMirrorsTheSourceFolderUnderItsOwnName) {
  test::WriteBytes("DefList.txt", "MODE\t2\r\n");
  test::WriteBytes("proj/main.c",
                   "#include \"cfg.h\"\r\n#if MODE == 2\r\nint two;\r\n#else\r\nint other;\r\n"
                   "#endif\r\nint main(void) { return 0; }\r\n");
  test::WriteBytes("proj/inc/cfg.h", "#ifndef CFG_H\r\n#define CFG_H\r\n#define SIZE (4*4)\r\n#endif\r\n");
  fs::create_directories("out");
  view.onShow = [] { return false; };
  OnAnalyse(AnalyseRequest{"proj", "out", 1, false}, view);
  JoinAnalysisWorker();

  EXPECT_EQ(Work("DEF/Header_List.txt"), "cfg.h\tproj/inc/cfg.h\n");
  EXPECT_EQ(Work("DEF/proj/main.c"),
            "#include \"cfg.h\"\nint two;\nint main(void) { return 0; }\n");
  EXPECT_EQ(Work("DEF/proj/inc/cfg.h"), "#define CFG_H\n#define SIZE (4*4)\n");
  EXPECT_EQ(Work("DEF/TMP/cfg.h"), "#define CFG_H\n#define SIZE (4*4)\n");
  EXPECT_EQ(Work("DEF/cfg_DEF_H.dat"), "MODE\t2\nCFG_H\t\nSIZE\t16.0000000000\t\n");
  EXPECT_EQ(Work("DEF/main_DEF_C.dat").rfind("MODE\t2\nCFG_H\t\nSIZE\t16.0000000000\t\n", 0), 0u);
}

}  // namespace
}  // namespace vandrel
