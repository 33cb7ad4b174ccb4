#include "prepro/header_list.h"

#include <gtest/gtest.h>

#include "prepro/prepro_fixture.h"

namespace vandrel {
namespace {

class HeaderListTest : public test::PreproTest {};

TEST_F(HeaderListTest, ListsHeadersInWalkOrderAndCountsSources) {
  for (const char* f : {"src/b.c", "src/sub/a.h", "src/sub/B.H", "src/sub/x.Cpp", "src/sub/y.hpp",
                        "src/sub/z.CPP", "src/sub/w.C", "src/sub/readme", "src/deep/er/c.cpp"})
    Source(f, "x\n");
  TextFile(kHeaderListPath, TextFile::Mode::Write).Close();
  BuildHeaderList("*.*", "src");
  EXPECT_EQ(Work("DEF/Header_List.txt"), "a.h\tsrc/sub/a.h\nB.H\tsrc/sub/B.H\n");
  EXPECT_EQ(g_progressTotal.load(), 6);
  EXPECT_EQ(host.statusDetails.size(), 9u);
}

TEST_F(HeaderListTest, AbortStopsTheWalkAtTheNextEntry) {
  struct AbortingHost : test::RecordingHost {
    void StatusDetail(const std::string& t) override {
      RecordingHost::StatusDetail(t);
      g_abortRequested = 1;
    }
  } aborting;
  Source("src/a.h", "x\n");
  Source("src/b.h", "x\n");
  BuildHeaderList("*.*", "src");
  EXPECT_EQ(Work("DEF/Header_List.txt"), "a.h\tsrc/a.h\n");
  g_abortRequested = 0;
}

TEST_F(HeaderListTest, AListThatCannotBeOpenedShowsABoxPerHeader) {
  std::filesystem::create_directories(WorkPath("DEF/Header_List.txt"));
  Source("src/a.h", "x\n");
  Source("src/b.h", "x\n");
  BuildHeaderList("*.*", "src");
  EXPECT_EQ(host.BoxTexts(), std::vector<std::string>(2, test::Sj("ヘッダリスト開けず")));
  EXPECT_EQ(host.boxes[0].caption, test::Sj("終了"));
}

TEST_F(HeaderListTest, FindHeaderPathTakesTheFirstLineThatContainsTheName) {
  std::string path = "unchanged";
  EXPECT_EQ(FindHeaderPath("a.h", path), 0);  // no list
  test::WriteBytes(kHeaderListPath,
                   "data.h\tsrc/data.h\r\na.h\tsrc/a.h\r\nnotab.h\r\nq.h\tsrc/lib/q.h\r\n" +
                       test::Sj("表.h\tsrc/表.h\r\n"));
  struct Case {
    const char *name, *path;
  } cases[] = {
      {"a.h", "src/data.h"},  {"data.h", "src/data.h"}, {"src/a.h", "src/a.h"},
      {"notab.h", "notab.h"}, {"lib", "src/lib/q.h"},   {"\t", "src/data.h"},
  };
  for (const Case& c : cases) {
    path = "unchanged";
    EXPECT_EQ(FindHeaderPath(c.name, path), 1) << c.name;
    EXPECT_EQ(path, c.path) << c.name;
  }
  path = "unchanged";
  EXPECT_EQ(FindHeaderPath("A.H", path), 0);  // case-sensitive
  EXPECT_EQ(FindHeaderPath(test::Sj("表"), path), 1);
  EXPECT_EQ(path, test::Sj("src/表.h"));
  // a search never starts inside a double-byte character: "\x95" is the
  // trail byte of "表" (0x95 0x5C) followed by "\"
  path = "unchanged";
  EXPECT_EQ(FindHeaderPath("\x5C.h", path), 0);
  EXPECT_EQ(path, "unchanged");
  // a list written anew is read again; past a hit inside a character the
  // search goes on to the lines after it
  test::WriteBytes(kHeaderListPath, test::Sj("表.h\tsrc/表.h\r\n") + "z\x5C.h\tsrc/z.h\r\n");
  EXPECT_EQ(FindHeaderPath("\x5C.h", path), 1);
  EXPECT_EQ(path, "src/z.h");
}

TEST(MakeIncludeName, FolderOfTheIncludingFileAndTheOperandWithoutQuotes) {
  struct Case {
    const char *operand, *folder, *strip, *result;
  } cases[] = {
      {"\"a.h", "src/f.c", "f.c", "src/a.h"},
      {"\"sub/a.h\"", "src/f.c", "f.c", "src/sub/a.h"},
      {"<", "src/f.c", "f.c", "src/<"},
      {"\"a.h", "src/f.cdir/f.c", "f.c", "src/dir/a.h"},  // every occurrence goes
      {"\"a.h", "f.c", "f.c", "a.h"},
      {"\"a.h", "src/x", "", "src/xa.h"},
  };
  for (const Case& c : cases) {
    std::string result = "old";
    EXPECT_EQ(MakeIncludeName(c.operand, c.folder, c.strip, result), 1);
    EXPECT_EQ(result, c.result) << c.operand << " " << c.folder;
  }
}

}  // namespace
}  // namespace vandrel
