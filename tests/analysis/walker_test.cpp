#include "analysis/tree_walkers.h"

#include "analysis/walker_test_support.h"

namespace vandrel::test {
namespace {

using Names = std::vector<std::string>;

// The per-file copies that the word pass left: one per analysed file.
Names AnalysedFiles() {
  Names names;
  for (const auto& e : std::filesystem::directory_iterator("vcwk012345")) {
    std::string n = e.path().filename().string();
    if (n.rfind("F_", 0) == 0) names.push_back(n.substr(2));
  }
  std::sort(names.begin(), names.end());
  return names;
}

class WalkerTest : public WorkTest {
 protected:
  void Tree(const Names& files) {
    for (const std::string& f : files) Source(f, "int v;\n");
  }
};

TEST_F(WalkerTest, PassesOnlyTheSixExtensions) {
  Tree({"a.c", "b.Cpp", "c.txt", "d", "sub/e.H", "sub/f.CPP", "g.cpp", "x.c.bak", "x.bak.c",
        "z.txt"});
  SearchFile_WordAls("*.*", "src");
  EXPECT_EQ(AnalysedFiles(), (Names{"a.c", "e.H", "f.CPP", "g.cpp", "x.bak.c"}));
  // The title of the last file scanned, whatever its extension.
  EXPECT_EQ(g_currentSourceFile, "z");
  EXPECT_EQ(g_wordWalkTrace1, "start");
  EXPECT_EQ(g_wordWalkTrace2, "start");
}

TEST_F(WalkerTest, CurrentSourceFileIsTheTitleWhenThePassRuns) {
  Tree({"x.bak.c", "y.h"});
  Names seen;
  host.onDetail = [&](const std::string& d) { seen.push_back(d + "=" + g_currentSourceFile.Get()); };
  SearchFile_DefineAls("*.*", "src");
  // The walker shows the entry first, the pass then shows it again.
  EXPECT_EQ(seen, (Names{"x.bak.c=", "x.bak.c=x.bak", "y.h=x.bak", "y.h=y"}));
  EXPECT_EQ(g_defineWalkTrace1, "start");
}

TEST_F(WalkerTest, DefineWalkerShowsFoldersWordWalkerFilesOnly) {
  Tree({"a.c", "sub/b.h", "sub/n.txt"});
  SearchFile_DefineAls("*.*", "src");
  EXPECT_EQ(host.statusDetails, (Names{"a.c", "a.c", "sub", "b.h", "b.h", "n.txt"}));
  host.statusDetails.clear();
  SearchFile_WordAls("*.*", "src");
  EXPECT_EQ(host.statusDetails, (Names{"a.c", "b.h", "n.txt"}));
}

TEST_F(WalkerTest, AbortInADeepFolderStopsEveryLevel) {
  Tree({"a.c", "deep/l1/l2/k.c", "deep/l1/l2/m.c", "deep/l1/z.c", "y.c"});
  host.onDetail = [](const std::string& d) {
    if (d == "k.c") g_abortRequested = 1;
  };
  SearchFile_WordAls("*.*", "src");
  EXPECT_EQ(AnalysedFiles(), (Names{"a.c", "k.c"}));
  EXPECT_EQ(host.statusDetails, (Names{"a.c", "k.c"}));
  EXPECT_FALSE(std::filesystem::exists("AnalyzeLog.txt"));
}

TEST_F(WalkerTest, EmptyOrMissingFolderDoesNothing) {
  std::filesystem::create_directories("src/empty");
  for (const char* folder : {"src/empty", "src/missing"}) {
    SearchFile_DefineAls("*.*", folder);
    SearchFile_WordAls("*.*", folder);
  }
  EXPECT_EQ(AnalysedFiles(), Names{});
  EXPECT_TRUE(host.statusDetails.empty());
  EXPECT_FALSE(std::filesystem::exists("AnalyzeLog.txt"));
  EXPECT_FALSE(std::filesystem::exists("vcwk012345/Typedef.txt"));
}

struct HandlerCase {
  void (*walker)(std::string, std::string);
  const char* entry;  // the exception entry
};

// An exception ends the level it escapes from; the parent level goes on.
TEST_F(WalkerTest, ExceptionEndsOneLevelWithItsEntry) {
  const HandlerCase cases[] = {
      {SearchFile_WordAls, "a : 0 : SearchFile_WordAls : 例外発生050\r\n"},
      {SearchFile_DefineAls, "a : 0 : FILE OPEN ERROR : -\r\n"},
  };
  Tree({"a.c", "sub/bad.c", "sub/c.c", "y.c"});
  for (const HandlerCase& c : cases) {
    std::filesystem::remove("AnalyzeLog.txt");
    std::filesystem::remove_all("vcwk012345");
    std::filesystem::create_directories("vcwk012345/FILEINFO");
    host.statusDetails.clear();
    bool thrown = false;
    host.onDetail = [&](const std::string& d) {
      if (d == "bad.c" && !thrown) {
        thrown = true;
        throw std::runtime_error("entry");
      }
    };
    c.walker("*.*", "src");
    EXPECT_EQ(ReadBytes("AnalyzeLog.txt"), Sj(c.entry));
    EXPECT_EQ(host.statusDetails.back(), "y.c");
    EXPECT_EQ(std::count(host.statusDetails.begin(), host.statusDetails.end(), "c.c"), 0);
  }
}

class WalkOrderTest : public PassTest {};

// The same two files in two places: a type name found in a file walked
// earlier changes what a later file declares.
TEST_F(WalkOrderTest, FilesWalkedEarlierDefineTypeNamesForLaterOnes) {
  struct Layout {
    const char* header;
    Names typedefs;
  };
  const Layout layouts[] = {
      {"a/defs.h", {"S2", "T2"}},  // folder a is walked before m.c
      {"z/defs.h", {"S2"}},        // m.c comes first: S2 is no type name yet
  };
  for (const Layout& l : layouts) {
    std::filesystem::remove_all("src");
    std::filesystem::remove_all("vcwk012345");
    std::filesystem::create_directories("vcwk012345/FILEINFO");
    ResetTypeNameTable();
    Source(l.header, "struct S2 { int a; };\n");
    Source("m.c", "typedef struct S2 T2;\n");
    SearchFile_DefineAls("*.*", "src");
    EXPECT_EQ(Work("Typedef.txt"), l.typedefs) << l.header;
    EXPECT_EQ(AddedTypeNames(), l.typedefs) << l.header;
    // The word pass registers T2 in either order.
    SearchFile_WordAls("*.*", "src");
    EXPECT_EQ(AddedTypeNames(), (Names{"S2", "T2"})) << l.header;
  }
}

}  // namespace
}  // namespace vandrel::test
