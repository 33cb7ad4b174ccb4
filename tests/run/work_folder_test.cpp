#include "run/work_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "test_support.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::Sj;
using test::WriteBytes;

class WorkFolderTest : public test::TempDirTest {};

TEST_F(WorkFolderTest, DeleteFolderTree) {
  EXPECT_EQ(DeleteFolderTree(""), 0);
  EXPECT_EQ(DeleteFolderTree("missing"), 0);

  WriteBytes("tree/a/b.txt", "x");
  EXPECT_EQ(DeleteFolderTree("tree/"), 1);  // one trailing separator is removed
  EXPECT_FALSE(fs::exists("tree"));

  // A folder named "表" ends in the byte 0x5C, which is not a separator there.
  WriteBytes("表/x.txt", "x");
  EXPECT_EQ(DeleteFolderTree(Sj("表")), 1);
  EXPECT_FALSE(fs::exists("表"));
}

TEST_F(WorkFolderTest, CopyFolderTo) {
  WriteBytes("src/HTML/a.html", "new");
  fs::create_directories("res");
  EXPECT_EQ(CopyFolderTo("src/HTML", "res"), 1);  // lands inside as a sub-folder
  EXPECT_EQ(test::ReadBytes("res/HTML/a.html"), "new");

  WriteBytes("src/HTML/a.html", "newer");  // a second copy replaces without asking
  EXPECT_EQ(CopyFolderTo("src/HTML/", "res/"), 1);
  EXPECT_EQ(test::ReadBytes("res/HTML/a.html"), "newer");

  WriteBytes("one.txt", "1");
  EXPECT_EQ(CopyFolderTo("one.txt", "res"), 1);  // a file lands under its own name
  EXPECT_EQ(test::ReadBytes("res/one.txt"), "1");

  EXPECT_EQ(CopyFolderTo("missing", "res"), 0);
  EXPECT_EQ(CopyFolderTo("", "res"), 0);
  EXPECT_EQ(CopyFolderTo("src", ""), 0);
  // Equal but for letter case: nothing is copied.
  fs::create_directories("Res2/x");
  EXPECT_EQ(CopyFolderTo("res2/x", "RES2/X"), 0);
  EXPECT_FALSE(fs::exists("Res2/x/x"));
}

TEST_F(WorkFolderTest, DeleteDirectoryRecursive) {
  EXPECT_EQ(DeleteDirectoryRecursive("missing"), 0);
  fs::create_directory("empty");
  EXPECT_NE(DeleteDirectoryRecursive("empty"), 0);
  EXPECT_FALSE(fs::exists("empty"));

  WriteBytes("w/a.txt", "");
  WriteBytes("w/sub/deep/b.txt", "");
  WriteBytes("w/other/c.txt", "");
  EXPECT_NE(DeleteDirectoryRecursive("w//"), 0);
  EXPECT_FALSE(fs::exists("w"));
}

TEST_F(WorkFolderTest, DeleteDirectoryRecursiveLeavesAReadOnlyFileAndItsFolders) {
  WriteBytes("w/a.txt", "");
  WriteBytes("w/sub/keep.txt", "");
  WriteBytes("w/sub/gone.txt", "");
  WriteBytes("w/other/c.txt", "");
  ::chmod("w/sub/keep.txt", 0444);
  EXPECT_EQ(DeleteDirectoryRecursive("w"), 0);
  EXPECT_TRUE(fs::exists("w/sub/keep.txt"));
  EXPECT_FALSE(fs::exists("w/sub/gone.txt"));
  EXPECT_FALSE(fs::exists("w/a.txt"));
  EXPECT_FALSE(fs::exists("w/other"));
}

TEST_F(WorkFolderTest, DeleteDirectoryRecursiveNeverFollowsALink) {
  WriteBytes("outside/precious.txt", "x");
  fs::create_directories("w");
  fs::create_directory_symlink(fs::absolute("outside"), "w/link");
  EXPECT_NE(DeleteDirectoryRecursive("w"), 0);
  EXPECT_TRUE(fs::exists("outside/precious.txt"));
}

TEST_F(WorkFolderTest, NamesThatCannotBeFileNamesAreRefusedWithALogLine) {
  for (const char* bad : {"", ".", "..", "a/b", "..\\up", "a\\"}) EXPECT_FALSE(IsUsableFileName(bad)) << bad;
  EXPECT_FALSE(IsUsableFileName(std::string("a\0b", 3)));
  EXPECT_TRUE(IsUsableFileName("main"));
  EXPECT_TRUE(IsUsableFileName(Sj("表")));  // its trail byte is 0x5C
  std::string log = test::ReadBytes("AnalyzeLog.txt");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 7);
}

TEST_F(WorkFolderTest, NamesTheOsCannotTakeOrGiveBackAreRefused) {
  const std::string longest(255 - 15, 'x');  // room left for "call_tree_" and ".html"
  EXPECT_TRUE(IsUsableFileName(longest));
  EXPECT_TRUE(IsUsableFileName(Sj("変数")));
  EXPECT_FALSE(IsUsableFileName(longest + "x"));
  EXPECT_FALSE(IsUsableFileName(std::string(80, '\x82') + std::string(80, '\xA0')));  // no CP932
  // Two bytes a character here, three at the OS.
  std::string kanji;
  for (int i = 0; i < 80; ++i) kanji += Sj("表");
  EXPECT_TRUE(IsUsableFileName(kanji));
  EXPECT_FALSE(IsUsableFileName(kanji + Sj("表")));
  EXPECT_FALSE(IsUsableFileName("\xEB\x40"));  // a code CP932 leaves unassigned
  std::string log = test::ReadBytes("AnalyzeLog.txt");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 4);
}

}  // namespace
}  // namespace vandrel
