#include "reports/design_info.h"

#include <gtest/gtest.h>

#include <random>

#include "reports/function_tree_records.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::commands::ReadText;
using test::Sj;
using test::commands::WriteRecord;
using test::commands::WriteText;

// One component main.c with four functions: main (declared nowhere), helper
// (static, in main.c's own copy), util_init (in both copies) and orphan (in
// the header's copy only, without a definition head).
class DesignInfoTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    fs::create_directories("vcwk012345/fileinfo2");
    WriteText("vcwk012345/FILEINFO/INF_main.c",
              "[DOM]\nMOTOR\n[FILENAME]\nmain.c\n"
              "[FUNCNAME]\nmain\n[LINE COUNT]\n5\n[LINE COUNT V]\n3\n[COMMNET]\n0\n"
              "[FUNCNAME]\nhelper\n[LINE COUNT]\n2\n[LINE COUNT V]\n1\n[COMMNET]\n0\n"
              "[FUNCNAME]\nutil_init\n[FUNCNAME]\norphan\n");
    WriteRecord("main", {{"[フォルダ名]", {"MOTOR"}},
                         {"[関数名称]", {"main"}},
                         {"[引数定義]", {"void"}},
                         {"[テンポラリ変数]", {"int\ti"}},
                         {"[コール関数]", {"int helper (int n)", "util_init()"}},
                         {"[コール関数（定義あり）]", {"int helper (int n)"}},
                         {"[参照変数]", {"g_speed", "buf[1]", "buf[2]", "t[i][j].x", "i"}},
                         {"[定義値]", {"MAX_SPEED\t\t0x10\t", "MODE\t\tFAST\t"}},
                         {"[書込み変数]", {"g_speed", "buf[1].x", "buf[2].x", "g_state"}},
                         {"[戻り値]", {"NONE"}},
                         {"[変数アクセス情報]", {"g_speed [R]", "zzz [w]"}}});
    WriteRecord("helper", {{"[引数定義]", {"int\tn"}},
                           {"[テンポラリ変数]", {"NONE"}},
                           {"[コール関数]", {"NONE"}},
                           {"[参照変数]", {"n", "cnt"}},
                           {"[定義値]", {"MAX_SPEED\t\t0x10\t", "NEG\t\t-5\t"}},
                           {"[書込み変数]", {"g_mode"}}});
    WriteRecord("util_init", {{"[引数定義]", {"void"}},
                              {"[テンポラリ変数]", {"NONE"}},
                              {"[コール関数]", {"orphan(cnt)"}},
                              {"[参照変数]", {"NONE"}},
                              {"[書込み変数]", {"NONE"}}});
    WriteRecord("orphan", {{"[引数定義]", {"int\tcnt"}},
                           {"[テンポラリ変数]", {"int\ttmp"}},
                           {"[コール関数]", {"NONE"}},
                           {"[参照変数]", {"cnt"}},
                           {"[書込み変数]", {"tmp"}}});
    WriteText("vcwk012345/F_main.c",
              "static\tint\thelper\t(\tint\tn\t)\t;\nint\tutil_init\t(\tvoid\t)\t;\n"
              "int\tg_speed\t;\nstatic\tint\tg_state\t;\nchar\tbuf\t[\t10\t]\t;\n");
    WriteText("vcwk012345/F_main.h",
              "int\tutil_init\t(\tvoid\t)\t;\nvoid\torphan\t(\tint\tcnt\t)\t;\n"
              "extern\tint\tg_speed\t;\nextern\tint\tg_mode\t;\n");
    WriteText("vcwk012345/FuncList_Body.txt",
              "int\tmain\t(\tvoid\t)\t\nstatic\tint\thelper\t(\tint\tn\t)\t\n"
              "int\tutil_init\t(\tvoid\t)\t\n");
  }

  std::string Output() { return ReadText("vcwk012345/fileinfo2/INF_main.c"); }

  test::RecordingHost host;
};

const char kHead[] = "[DOM NAME]\nMOTOR\n\n[BUHIN KOUSEI]\nmain.c\n\n";
const char kCommonTail[] =
    "[DEF_VALUE]\n\n"
    "[EXT_DEF]\nMAX_SPEED\t\t0x10\t\nNEG\t\t-5\t\n\n"
    "[MACRO_VALUE]\nutil_init()\norphan(cnt)\nMODE\t\tFAST\t\n\n"
    "[TEMP_VAL_LIST]\nint\ti\nint\tn\nint\tcnt\nint\ttmp\n\n\n";

const char kListsUpToVariables[] =
    "[FUNCTION_LIST]\nmain\nhelper\nutil_init\norphan\n\n";
const char kCallsAndValues[] =
    "[FUNCTION_CALL_LIST]\nint helper (int n)\nutil_init()\norphan(cnt)\n\n"
    "[READ_VALUE]\ng_speed\nbuf[1]\nbuf[2]\nt[][].x\n\n"
    "[WRITE_VALUE]\ng_speed\nbuf[].x\ng_state\ng_mode\n\n";

TEST_F(DesignInfoTest, AComponentWithItsHeader) {
  EXPECT_TRUE(BuildFileInfoSummary("vcwk012345/FILEINFO/INF_main.c"));
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(Output(), std::string(kHead) + kListsUpToVariables +
                          "[GLOBAL_FUNCTION_LIST]\nint util_init ( void ) \norphan\n\n"
                          "[INTERNAL_FUNCTION_LIST]\nstatic int helper ( int n ) \n\n" +
                          kCallsAndValues +
                          "[PUBLIC_VALUE]\ng_state\n\n"
                          "[PRIVATE_VALUE]\ng_mode\n\n"
                          "[EXTERN_VALUE]\ng_speed\nbuf[1]\nbuf[2]\nt[][].x\nbuf[].x\n\n" +
                          kCommonTail);
}

TEST_F(DesignInfoTest, AComponentWithoutItsHeader) {
  fs::remove("vcwk012345/F_main.h");
  BuildFileInfoSummary("vcwk012345/FILEINFO/INF_main.c");
  EXPECT_EQ(Output(), std::string(kHead) + kListsUpToVariables +
                          "[GLOBAL_FUNCTION_LIST]\n\n"
                          "[INTERNAL_FUNCTION_LIST]\nint main ( void ) \nstatic int helper ( int n ) \n"
                          "int util_init ( void ) \norphan\n\n" +
                          kCallsAndValues +
                          "[PUBLIC_VALUE]\ng_speed\nbuf[1]\nbuf[2]\nt[][].x\nbuf[].x\ng_state\ng_mode\n\n"
                          "[PRIVATE_VALUE]\n\n"
                          "[EXTERN_VALUE]\n\n" +
                          kCommonTail);
}

TEST_F(DesignInfoTest, ASecondCallAppendsASecondCopy) {
  BuildFileInfoSummary("vcwk012345/FILEINFO/INF_main.c");
  std::string once = Output();
  BuildFileInfoSummary("vcwk012345/FILEINFO/INF_main.c");
  EXPECT_EQ(Output(), once + once);
}

TEST_F(DesignInfoTest, AnEmptyFunctionNameEndsTheReading) {
  WriteText("vcwk012345/FILEINFO/INF_main.c", "[DOM]\nMOTOR\n[FUNCNAME]\nhelper\n[FUNCNAME]\n\n[FUNCNAME]\nmain\n");
  BuildFileInfoSummary("vcwk012345/FILEINFO/INF_main.c");
  std::string out = Output();
  EXPECT_NE(out.find("[FUNCTION_LIST]\nhelper\n\n[GLOBAL_FUNCTION_LIST]\n\n"
                     "[INTERNAL_FUNCTION_LIST]\nstatic int helper ( int n ) \n\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("[TEMP_VAL_LIST]\nint\tn\n\n\n"), std::string::npos) << out;
}

TEST_F(DesignInfoTest, AFunctionWithoutRecordLeavesOnlyTheHead) {
  fs::remove("vcwk012345/FunctionList4/util_init");
  EXPECT_FALSE(BuildFileInfoSummary("vcwk012345/FILEINFO/INF_main.c"));
  EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{Sj("起動失敗")});
  EXPECT_EQ(Output(), kHead);
}

TEST_F(DesignInfoTest, NamesThatAreNoFileNamesCountAsMissingRecords) {
  WriteText("vcwk012345/FILEINFO/INF_main.c", "[DOM]\nMOTOR\n[FUNCNAME]\n../FILEINFO/INF_main.c\n");
  BuildFileInfoSummary("vcwk012345/FILEINFO/INF_main.c");
  EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{Sj("起動失敗")});
  EXPECT_EQ(Output(), kHead);
}

TEST_F(DesignInfoTest, AnInputOrOutputThatCannotBeOpened) {
  EXPECT_FALSE(BuildFileInfoSummary("vcwk012345/FILEINFO/INF_nosuch.c"));
  EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{Sj("ファイル開けず")});
  EXPECT_FALSE(fs::exists("vcwk012345/fileinfo2/INF_nosuch.c"));

  host.boxes.clear();
  fs::create_directories("vcwk012345/fileinfo2/INF_main.c");  // a folder in the way
  EXPECT_FALSE(BuildFileInfoSummary("vcwk012345/FILEINFO/INF_main.c"));
  EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{Sj("ファイル開けず")});
}

// Writes lost (a full disk) fail the call without a box of its own.
TEST_F(DesignInfoTest, AnOutputThatLosesItsWrites) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here to stand for a full disk";
  fs::create_symlink("/dev/full", "vcwk012345/fileinfo2/INF_main.c");
  EXPECT_FALSE(BuildFileInfoSummary("vcwk012345/FILEINFO/INF_main.c"));
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(DesignInfoTest, AnInputWithoutDomKeepsItsOwnNameForTheLookups) {
  // No "[DOM]": no head sections, and the copies F_INF_main.c/.h do not exist,
  // so every function is internal.
  WriteText("vcwk012345/FILEINFO/INF_main.c", "[FUNCNAME]\nutil_init\n");
  BuildFileInfoSummary("vcwk012345/FILEINFO/INF_main.c");
  const std::string start =
      "[FUNCTION_LIST]\nutil_init\n\n[GLOBAL_FUNCTION_LIST]\n\n"
      "[INTERNAL_FUNCTION_LIST]\nint util_init ( void ) \n\n";
  EXPECT_EQ(Output().substr(0, start.size()), start);
}

TEST(DesignInfo, StripBracketText) {
  struct Case {
    const char *in, *out;
  } cases[] = {
      {"buf[i].len", "buf[].len"}, {"t[i][j].x", "t[][].x"}, {"buf[i]", "buf[i]"},
      {"a[i][j]", "a[][j]"},       {"plain", "plain"},       {"a]b[c].d", "a]b[].d"},
      {"a[b", "a[b"},              {"[x].y", "[].y"},
  };
  for (const Case& c : cases) EXPECT_EQ(StripBracketText(c.in), c.out) << c.in;
}

TEST(DesignInfo, IsNameDeclared) {
  std::vector<std::string> locals = {"int\tcount", "char buf[10]", "NONE", "struct\ttag\t*\tp"};
  for (const char* yes : {"count", "buf", "buf[]", "buf[3].x", "p", "NONE"})
    EXPECT_TRUE(IsNameDeclared(yes, locals)) << yes;
  for (const char* no : {"coun", "tag", "int", "bu", "g_count"}) EXPECT_FALSE(IsNameDeclared(no, locals)) << no;
}

TEST(DesignInfo, TheFieldIndexAgreesWithTheSubstringTest) {
  // Lines of ASCII and double-byte fields, looked up with every suffix of
  // every field and with names that are in none.
  std::mt19937 random(7);
  const std::vector<std::string> pieces = {"a", "b", "_x", "init", Sj("表"), Sj("ソ"), "\t", "\t", " ", ";",
                                           std::string(1, '\x81')};
  std::vector<std::string> lines;
  for (int i = 0; i < 200; ++i) {
    std::string line;
    for (int n = random() % 12; n > 0; --n) line += pieces[random() % pieces.size()];
    lines.push_back(line);
  }
  TabFieldIndex index(lines);
  std::vector<std::string> names = {"a", "init", "b_x", "zz", Sj("表"), "\\", std::string(70, 'a')};
  for (const std::string& line : lines)
    for (size_t from = 0; from < line.size(); ++from)
      for (size_t to = from + 1; to <= line.size() && to - from < 8; ++to)
        if (line.find('\t', from) >= to) names.push_back(line.substr(from, to - from));
  for (const std::string& name : names) {
    long expected = -1;
    for (long i = static_cast<long>(lines.size()) - 1; i >= 0 && expected < 0; --i)
      if (MbContains(lines[i], name + "\t")) expected = i;
    ASSERT_EQ(index.LastLineWith(name), expected) << ToUtf8(name);
  }
}

TEST_F(DesignInfoTest, TheFunctionHeadIsTheLastLineHoldingTheNameAndATab) {
  WriteText("vcwk012345/FuncList_Body.txt",
            "int\tinit\t(\tvoid\t)\t\nint\tmy_init\t(\tint\ta;\t)\t\nvoid\tother\t(\t)\t\n");
  DesignLookups lookups;
  EXPECT_EQ(lookups.LookupFunctionBody("init"), "int my_init ( int a ) ");
  EXPECT_EQ(lookups.LookupFunctionBody("other"), "void other ( ) ");
  EXPECT_EQ(lookups.LookupFunctionBody("missing"), "missing");
  fs::remove("vcwk012345/FuncList_Body.txt");
  DesignLookups without;
  EXPECT_EQ(without.LookupFunctionBody("init"), "init");
}

}  // namespace
}  // namespace vandrel
