// The source folder as a user types it in a sub-folder of the tree:
// vandrel-batch run as a program in a temporary current directory.
#include <gtest/gtest.h>

#include "app/batch_run.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::RunBatch;
using test::WriteBytes;

class SourceFolderTest : public test::TempDirTest {};

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = 0; (at = text.find(part, at)) != std::string::npos; at += part.size()) ++n;
  return n;
}

// In proj/app, "analyse .. out" and every other spelling of proj (a detour,
// another case, a link to it) analyse the whole tree as its absolute path
// does; the link that leads back from proj/lib to proj is the one loop.
TEST_F(SourceFolderTest, AFolderAboveTheCurrentDirectoryIsAnalysedWhole) {
  WriteBytes("proj/main.c", "int top_f(void)\r\n{\r\n  return 0;\r\n}\r\n");
  WriteBytes("proj/app/a.c", "int app_f(void)\r\n{\r\n  return 1;\r\n}\r\n");
  WriteBytes("proj/lib/b.c", "int lib_f(void)\r\n{\r\n  return 2;\r\n}\r\n");
  fs::create_directories("proj/app/x");
  fs::create_directory_symlink("..", "proj/lib/back");
  fs::create_directory_symlink("proj", "link");
  const std::string real = fs::canonical("proj").string();
  test::InFolder app("proj/app");
  fs::create_directories("out");

  ASSERT_EQ(RunBatch("analyse '" + real + "' out").status, 0);
  const std::string functions = ReadBytes("vcwk012345/FuncList_Body.txt");
  EXPECT_EQ(Count(functions, "\n"), 3) << functions;
  for (const char* name : {"top_f", "app_f", "lib_f"}) EXPECT_NE(functions.find(name), std::string::npos) << name;

  for (const char* source : {"..", "./x/../..", "../APP/..", "../../PROJ", "../../link", "../lib/back"}) {
    SCOPED_TRACE(source);
    test::BatchOutcome o = RunBatch(std::string("analyse ") + source + " out");
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(ReadBytes("vcwk012345/FuncList_Body.txt"), functions);
    const std::string log = ToUtf8(ReadBytes("AnalyzeLog.txt"));
    EXPECT_EQ(Count(log, ": FOLDER LOOP, NOT WALKED\r\n"), 1) << log;
    EXPECT_EQ(Count(log, "/lib/back : FOLDER LOOP, NOT WALKED\r\n"), 1) << log;
  }
}

// Bytes of the files below a folder.
uintmax_t FolderBytes(const fs::path& folder) {
  uintmax_t bytes = 0;
  for (const auto& e : fs::recursive_directory_iterator(folder))
    if (e.is_regular_file()) bytes += e.file_size();
  return bytes;
}

// A source folder that holds three copies of one tree (vendored, backed up,
// old): the work folder takes at most three times the bytes of one copy's,
// its preprocessed tree, definition files and include copies about three
// times theirs.
TEST_F(SourceFolderTest, ThreeCopiesOfATreeCostAboutThreeTimesOne) {
  const fs::path sample = fs::path(VANDREL_SOURCE_DIR) / "examples/sample";
  uintmax_t work[2], preprocessed[2];
  for (int copies : {1, 3}) {
    test::InFolder run("run" + std::to_string(copies));
    fs::create_directories("src");
    for (int c = 0; c < copies; ++c) fs::copy(sample, "src/copy" + std::to_string(c), fs::copy_options::recursive);
    fs::create_directories("out");
    ASSERT_EQ(RunBatch("analyse src out").status, 0);
    work[copies / 2] = FolderBytes("vcwk012345");
    preprocessed[copies / 2] = FolderBytes("vcwk012345/DEF");
  }
  EXPECT_LE(work[1], 3 * work[0]) << work[0];
  EXPECT_GE(preprocessed[1], 2 * preprocessed[0]) << preprocessed[0];
  EXPECT_LE(preprocessed[1], 3 * preprocessed[0] + preprocessed[0] / 10) << preprocessed[0];
}

}  // namespace
}  // namespace vandrel
