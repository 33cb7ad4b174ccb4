#include "prepro/prepro_walk.h"

#include <gtest/gtest.h>

#include "prepro/prepro_fixture.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;

class PreproWalkTest : public test::PreproTest {};

// A small tree: a header found through the header list, a header next to
// its includer, a guarded header included twice, DefList.txt macros.
TEST_F(PreproWalkTest, StepsOneAndTwoWriteTheCopiesAndDefinitionFiles) {
  Source("DefList.txt", "PRE\t1\nFLAG\t\nLIMIT\t(1 + 2)\n");
  Source("src/main.c",
         "#include \"cfg.h\"\n"
         "#include \"guard.h\"\n"
         "#include \"guard.h\"\n"
         "#ifdef PRE\n"
         "int pre;\n"
         "#else\n"
         "int nopre;\n"
         "#endif\n"
         "#if SPEED == 10\n"
         "#include \"cfg.h\"\n"
         "int fast;\n"
         "#elif SPEED == 20\n"
         "int slow;\n"
         "#endif\n"
         "#define TOTAL (SPEED * 2)\n"
         "#define MASK ((u1)0xFF)\n"
         "int main(void) { return TOTAL; }\n");
  Source("src/guard.h",
         "#ifndef GUARD_H\n#define GUARD_H\n#define SPEED 10U\n#endif\n");
  Source("src/inc/cfg.h",
         "/* cfg */\n#define CFG_ON\n#ifndef FLAG\nint noflag;\n#endif\n");
  Source("src/inc/cfg.c", "#include \"guard.h\"\nint c = SPEED;\n");
  RunSteps();

  EXPECT_EQ(Work("DEF/Header_List.txt"), "guard.h\tsrc/guard.h\ncfg.h\tsrc/inc/cfg.h\n");
  EXPECT_EQ(g_progressTotal.load(), 4);
  EXPECT_EQ(g_progressDone.load(), 4);

  EXPECT_EQ(Work("DEF/src/main.c"),
            "#include \"cfg.h\"\n"
            "#include \"guard.h\"\n"
            "#include \"guard.h\"\n"
            "int pre;\n"
            "#\tinclude\t\"cfg.h\n"
            "int fast;\n"
            "#define TOTAL (SPEED * 2)\n"
            "#define MASK ((u1)0xFF)\n"
            "int main(void) { return TOTAL; }\n");
  EXPECT_EQ(Work("DEF/src/guard.h"), "#define GUARD_H\n#define SPEED 10U\n");
  EXPECT_EQ(Work("DEF/src/inc/cfg.h"), "/* cfg */\n#define CFG_ON\n");
  EXPECT_EQ(Work("DEF/src/inc/cfg.c"), "#include \"guard.h\"\nint c = SPEED;\n");

  // include copies, in walk order: cfg.c's guard.h, then main.c's cfg.h,
  // guard.h (its second inclusion adds nothing) and cfg.h again
  EXPECT_EQ(Work("DEF/TMP/cfg.h"), "/* cfg */\n#define CFG_ON\n/* cfg */\n#define CFG_ON\n");
  EXPECT_EQ(Work("DEF/TMP/guard.h"),
            "#define GUARD_H\n#define SPEED 10U\n#define GUARD_H\n#define SPEED 10U\n");

  EXPECT_EQ(Work("DEF/main_DEF_C.dat"),
            "PRE\t1\n"
            "FLAG\t\n"
            "LIMIT\t(1 + 2)\n"
            "CFG_ON\t\n"
            "GUARD_H\t\n"
            "SPEED\t10\t\n"
            "CFG_ON\t\n"
            "TOTAL\t20.0000000000\t\n"
            "MASK\t(\t(\tu1\t)\t0xFF\t)\t\n");
  EXPECT_EQ(Work("DEF/guard_DEF_H.dat"),
            "PRE\t1\nFLAG\t\nLIMIT\t(1 + 2)\nGUARD_H\t\nSPEED\t10\t\n");
  EXPECT_EQ(Work("DEF/cfg_DEF_H.dat"), "PRE\t1\nFLAG\t\nLIMIT\t(1 + 2)\nCFG_ON\t\n");
  // cfg.c finds guard.h through the header list
  EXPECT_EQ(Work("DEF/cfg_DEF_C.dat"),
            "PRE\t1\nFLAG\t\nLIMIT\t(1 + 2)\nGUARD_H\t\nSPEED\t10\t\n");
  EXPECT_EQ(g_defOutputDir, WorkPath("DEF/src"));
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(Log(), "");
}

TEST_F(PreproWalkTest, OnlyTheSixExtensionsArePreprocessedAndMirrored) {
  for (const char* f : {"src/a.c", "src/b.C", "src/c.cpp", "src/d.CPP", "src/e.h", "src/f.H",
                        "src/g.Cpp", "src/h.hpp", "src/i.txt", "src/j"})
    Source(f, "x\n");
  RunSteps();
  std::vector<std::string> mirrored;
  for (const auto& e : fs::directory_iterator("vcwk012345/DEF/src"))
    mirrored.push_back(e.path().filename().string());
  std::sort(mirrored.begin(), mirrored.end());
  EXPECT_EQ(mirrored, (std::vector<std::string>{"a.c", "b.C", "c.cpp", "d.CPP", "e.h", "f.H"}));
  for (const char* d : {"a_DEF_C.dat", "b_DEF_C.dat", "c_DEF_C.dat", "d_DEF_C.dat", "e_DEF_H.dat",
                        "f_DEF_H.dat"})
    EXPECT_TRUE(fs::exists(WorkPath(std::string("DEF/") + d))) << d;
  EXPECT_FALSE(fs::exists(WorkPath("DEF/g_DEF_C.dat")));
  EXPECT_EQ(g_progressDone.load(), 6);
}

TEST_F(PreproWalkTest, SameTitlesShareADefinitionFileAndTheLastWins) {
  Source("src/a/m.c", "#define FIRST 1\n");
  Source("src/b/m.c", "#define SECOND 2\n");
  Source("src/b/m.h", "#define HEAD 3\n");
  Source("src/b/m.cpp", "#define THIRD 4\n");
  RunSteps();
  EXPECT_EQ(Work("DEF/m_DEF_C.dat"), "THIRD\t4\t\n");  // b/m.c, then b/m.cpp
  EXPECT_EQ(Work("DEF/m_DEF_H.dat"), "HEAD\t3\t\n");
}

TEST_F(PreproWalkTest, DefListLinesWithoutTabsOrWithTwoTabs) {
  test::WriteBytes("DefList.txt", "A\tx\ty\r\n\r\nNOTAB\r\nLAST\t2");
  Source("src/a.c", "#ifdef A\nyes\n#endif\n");
  RunSteps();
  EXPECT_EQ(Work("DEF/a_DEF_C.dat"), "A\tx\ty\n\nNOTAB\nLAST\t2\n");
  EXPECT_EQ(Work("DEF/src/a.c"), "yes\n");
}

TEST_F(PreproWalkTest, EachFileStartsWithAnEmptyTable) {
  Source("src/a.c", "#define A 1\n");
  Source("src/b.c", "#ifdef A\nleak\n#endif\n#define B 2\n");
  RunSteps();
  EXPECT_EQ(Work("DEF/src/b.c"), "#define B 2\n");
  EXPECT_EQ(Work("DEF/b_DEF_C.dat"), "B\t2\t\n");
}

TEST_F(PreproWalkTest, ADefinitionFileThatCannotBeCreatedShowsABox) {
  fs::create_directories(WorkPath("DEF/a_DEF_C.dat"));
  Source("src/a.c", "x\n");
  RunSteps();
  EXPECT_EQ(host.BoxTexts(),
            std::vector<std::string>{WorkPath("DEF/a_DEF_C.dat") + test::Sj("ファイル開けず")});
  EXPECT_EQ(Work("DEF/src/a.c"), "x\n");
}

TEST_F(PreproWalkTest, AbortStopsTheWalkAndRestoresTheMirrorFolder) {
  struct AbortingHost : test::RecordingHost {
    void StatusDetail(const std::string& t) override {
      RecordingHost::StatusDetail(t);
      if (t == "b.c") g_abortRequested = 1;
    }
  };
  Source("src/sub/a.c", "a\n");
  Source("src/sub/b.c", "b\n");
  Source("src/sub/c.c", "c\n");
  Source("src/z.c", "z\n");
  {
    AbortingHost aborting;
    EXPECT_EQ(PreprocessTree("*.*", "src"), 1);
  }
  EXPECT_EQ(g_defOutputDir, WorkPath("DEF/src"));
  EXPECT_TRUE(fs::exists("vcwk012345/DEF/src/sub/a.c"));
  EXPECT_FALSE(fs::exists("vcwk012345/DEF/src/sub/c.c"));
  EXPECT_FALSE(fs::exists("vcwk012345/DEF/src/z.c"));
  g_abortRequested = 0;
  EXPECT_EQ(PreprocessTree("*.*", "missing"), 1);
  EXPECT_EQ(PreprocessTree("*.*", "src/sub"), 0);
}

TEST_F(PreproWalkTest, AWorkFolderInsideTheSourceTreeIsNotWalked) {
  Source("a.c", "#define A 1\n");
  fs::create_directories("vcwk012345/DEF/here");
  g_defOutputDir = WorkPath("DEF/here");
  EXPECT_EQ(PreprocessTree("*.*", "."), 0);
  EXPECT_EQ(Work("DEF/here/a.c"), "#define A 1\n");
  EXPECT_FALSE(fs::exists("vcwk012345/DEF/here/vcwk012345"));
  EXPECT_EQ(Work("DEF/a_DEF_C.dat"), "A\t1\t\n");
}

// The include copies of an earlier run, left in the source tree (with a
// copy of its work folder): each holds its header once per inclusion,
// without its guard, with its #include line each time. Preprocessing them
// costs in proportion to their size: twice the copies, about twice the bytes.
TEST_F(PreproWalkTest, IncludeCopiesOfAnEarlierRunCostInProportionToTheirSize) {
  auto written = [](int copies) {
    fs::remove_all("src");
    fs::remove_all("vcwk012345");
    fs::create_directories("vcwk012345/DEF/TMP");
    fs::create_directories("vcwk012345/DEF/src");
    constexpr int kHeaders = 5;
    for (int h = 1; h <= kHeaders; ++h) {
      const std::string n = std::to_string(h);
      std::string body = "#define H" + n + "_H\n";
      if (h < kHeaders) body += "#include \"h" + std::to_string(h + 1) + ".h\"\n";
      body += "int h" + n + ";\n";
      std::string text;
      for (int c = 0; c < copies; ++c) text += body;
      Source("src/h" + n + ".h", text);
    }
    RunSteps();
    uintmax_t bytes = 0;
    for (const auto& e : fs::recursive_directory_iterator("vcwk012345"))
      if (e.is_regular_file()) bytes += e.file_size();
    return bytes;
  };
  const uintmax_t four = written(4), eight = written(8);
  EXPECT_LE(eight, four * 5 / 2) << four << " bytes for four copies";
}

// The shipped sample, with its DefList.txt in the current directory.
TEST_F(PreproWalkTest, TheSampleTreeGivesSaneResults) {
  const std::string sample = std::string(VANDREL_SOURCE_DIR) + "/examples/sample";
  fs::copy_file(sample + "/DefList.txt", "DefList.txt");
  fs::copy(sample, "sample", fs::copy_options::recursive);
  fs::create_directories("vcwk012345/DEF/sample");
  g_defOutputDir = WorkPath("DEF/sample");
  TextFile(kHeaderListPath, TextFile::Mode::Write).Close();
  BuildHeaderList("*.*", "sample");
  PreprocessTree("*.*", "sample");

  EXPECT_EQ(Work("DEF/Header_List.txt"),
            "common.h\tsample/include/common.h\nconfig.h\tsample/include/config.h\n"
            "motor.h\tsample/motor/motor.h\nsensor.h\tsample/sensor/sensor.h\n");
  EXPECT_EQ(g_progressTotal.load(), 7);
  // main.c holds no conditional line: its copy is the source itself
  EXPECT_EQ(test::ReadBytes("vcwk012345/DEF/sample/main.c"), test::ReadBytes("sample/main.c"));
  for (const char* f : {"include/common.h", "include/config.h", "motor/motor.c", "motor/motor.h",
                        "sensor/sensor.c", "sensor/sensor.h"})
    EXPECT_TRUE(fs::exists(std::string("vcwk012345/DEF/sample/") + f)) << f;
  std::string config = Work("DEF/sample/include/config.h");
  EXPECT_EQ(config.find("#if"), std::string::npos);
  EXPECT_EQ(config.find("#endif"), std::string::npos);

  std::string defs = Work("DEF/main_DEF_C.dat");
  EXPECT_EQ(defs.rfind("BOARD_TYPE\t2\nUSE_SENSOR_FILTER\t\nLOG_LEVEL\t(3)\nCOMMON_H\t\n", 0), 0u);
  for (const char* line : {"MAX_SPEED\t1000\t\n", "HALF_SPEED\t500.0000000000\t\n",
                           "SENSOR_CH\t4\t\n", "PWM_PERIOD\t200\t\n", "FILTER_SHIFT\t2\t\n",
                           "MOTOR_H\t\n", "SENSOR_H\t\n"})
    EXPECT_NE(defs.find(line), std::string::npos) << line;
  for (const char* d : {"common_DEF_H.dat", "config_DEF_H.dat", "motor_DEF_C.dat",
                        "motor_DEF_H.dat", "sensor_DEF_C.dat", "sensor_DEF_H.dat"})
    EXPECT_TRUE(fs::exists(WorkPath(std::string("DEF/") + d))) << d;
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(Log(), "");
}

}  // namespace
}  // namespace vandrel
