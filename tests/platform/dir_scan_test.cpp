#include "platform/dir_scan.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;

class DirScanTest : public test::TempDirTest {
 protected:
  std::vector<std::string> Scan(const std::string& pattern) {
    std::vector<std::string> names;
    DirScan scan;
    bool more = scan.FindFile(pattern);
    while (more) {
      more = scan.FindNextFile();
      names.push_back(scan.GetFileName() + (scan.IsDirectory() ? "/" : ""));
    }
    return names;
  }
  // What the scan left out, sorted; " loop" marks a folder loop.
  static std::vector<std::string> Skipped(const std::string& pattern) {
    DirScan scan;
    scan.FindFile(pattern);
    std::vector<std::string> skipped;
    for (const auto& s : scan.GetSkipped()) skipped.push_back(s.name + (s.folderLoop ? " loop" : ""));
    std::sort(skipped.begin(), skipped.end());
    return skipped;
  }
};

TEST_F(DirScanTest, DeliversDotsFirstThenUpperCasedByteOrder) {
  for (const char* f : {"b.c", "A.h", "_x.c", "a.c", "Z", "readme"}) test::WriteBytes(f, "");
  fs::create_directory("sub");
  EXPECT_EQ(Scan("./*.*"), (std::vector<std::string>{"./", "../", "a.c", "A.h", "b.c", "readme",
                                                     "sub/", "Z", "_x.c"}));
}

// CP932 lead bytes (0x81 and up) come after every ASCII byte.
TEST_F(DirScanTest, BytesAboveAsciiSortAfterIt) {
  for (const char* f : {"表.c", "~t.c", "z.c", "表a.c"}) test::WriteBytes(f, "");
  EXPECT_EQ(Scan("./*.c"), (std::vector<std::string>{"z.c", "~t.c", test::Sj("表.c"), test::Sj("表a.c")}));
}

TEST_F(DirScanTest, WildcardsMatchWithoutRegardToCase) {
  for (const char* f : {"INF_main.c", "INF_util.C", "INF_util.h", "x.cpp"}) test::WriteBytes(f, "");
  EXPECT_EQ(Scan("./*.c"), (std::vector<std::string>{"INF_main.c", "INF_util.C"}));
  EXPECT_TRUE(Scan("./*.txt").empty());
  EXPECT_FALSE(DirScan().FindFile("missing/*.*"));
}

TEST_F(DirScanTest, AnExactPathFindsTheEntryItselfAlsoWithATrailingSeparator) {
  fs::create_directories("work/Src");
  test::WriteBytes("work/file.c", "");
  struct Case {
    std::string path, expected;
  } cases[] = {
      {"work/Src", "Src/"},
      {"work/Src/", "Src/"},    // shell completion adds the separator
      {"work/Src//", "Src/"},
      {"work/file.c", "file.c"},
  };
  for (const Case& c : cases) EXPECT_EQ(Scan(c.path), std::vector<std::string>{c.expected}) << c.path;
  EXPECT_TRUE(Scan("work/none").empty());
  EXPECT_TRUE(Scan("").empty());
}

TEST_F(DirScanTest, DotAsAFolderGivesTheFolderItsOwnName) {
  fs::create_directories("proj");
  fs::current_path("proj");
  EXPECT_EQ(Scan("."), std::vector<std::string>{"proj/"});
  fs::current_path("..");
}

TEST_F(DirScanTest, PathsAndTitlesOfEntries) {
  fs::create_directories("d");
  test::WriteBytes("d/x.bak.c", "");
  DirScan scan;
  ASSERT_TRUE(scan.FindFile("d/*.*"));
  while (scan.FindNextFile() && scan.IsDots()) {
  }
  EXPECT_EQ(scan.GetFileName(), "x.bak.c");
  EXPECT_EQ(scan.GetFilePath(), "d/x.bak.c");
  EXPECT_EQ(scan.GetFileTitle(), "x.bak");
}

TEST_F(DirScanTest, JapaneseNamesComeBackAsCp932) {
  fs::create_directories("表");
  test::WriteBytes("表/ソース.c", "");
  EXPECT_EQ(Scan(test::Sj("表") + "/*.c"), std::vector<std::string>{test::Sj("ソース.c")});
}

TEST_F(DirScanTest, LeavesOutNamesThatDoNotComeBackAndFoldersThatLoop) {
  for (const char* f : {"ok.c", "caf\xC3\xA9.c", "bad\xE9.c", "a\\b.c"}) test::WriteBytes(f, "");
  fs::create_directories("d/sub");
  fs::create_directory_symlink("..", "d/sub/up");
  fs::create_directory_symlink(".", "d/here");
  fs::create_directory_symlink(fs::absolute("/"), "d/root");
  fs::create_directory_symlink("sub", "d/alias");  // a second way in, no loop
  EXPECT_EQ(Scan("./*.c"), std::vector<std::string>{"ok.c"});
  EXPECT_EQ(Skipped("./*.c"), (std::vector<std::string>{"a\\b.c", "bad?.c", "caf?.c"}));

  EXPECT_EQ(Scan("d/*.*"), (std::vector<std::string>{"./", "../", "alias/", "sub/"}));
  EXPECT_EQ(Skipped("d/*.*"), (std::vector<std::string>{"here loop", "root loop"}));
  EXPECT_EQ(Scan("d/sub/*.*"), (std::vector<std::string>{"./", "../"}));
  EXPECT_EQ(Scan("d/alias/*.*"), (std::vector<std::string>{"./", "../"}));
}

TEST_F(DirScanTest, FoldersAndExactPathsAreFoundWhateverTheirCase) {
  test::WriteBytes("Proj/Sub/Main.C", "");
  EXPECT_EQ(Scan("proj/sub/*.*"), (std::vector<std::string>{"./", "../", "Main.C"}));
  EXPECT_EQ(Scan("PROJ/SUB/main.c"), std::vector<std::string>{"Main.C"});
  EXPECT_EQ(Scan("proj"), std::vector<std::string>{"Proj/"});
  DirScan scan;
  ASSERT_TRUE(scan.FindFile("proj/sub/*.*"));
  EXPECT_EQ(scan.GetRoot(), "Proj/Sub");  // later reads need no second search
  EXPECT_TRUE(Scan("proj/other/*.*").empty());
}

}  // namespace
}  // namespace vandrel
