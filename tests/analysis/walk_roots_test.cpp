// Every walk of a source tree (the header list, the preprocessing, the two
// walkers of the analysis) reaches each file once whatever the spelling of
// its root, and leaves out a folder that leads back to one it is in.
#include <algorithm>
#include <filesystem>

#include "analysis/tree_walkers.h"
#include "analysis/walker_test_support.h"
#include "platform/text_file.h"
#include "prepro/define_table.h"
#include "prepro/header_list.h"
#include "prepro/prepro_walk.h"
#include "run/work_folder.h"

namespace vandrel::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// proj/main.c, proj/app/a.c, proj/lib/b.h and the link proj/lib/back to proj;
// the walks run in proj/app, as a user who types ".." there.
class WalkRootTest : public WorkTest {
 protected:
  void SetUp() override {
    WorkTest::SetUp();
    WriteBytes("proj/main.c", "int m;\r\n");
    WriteBytes("proj/app/a.c", "int a;\r\n");
    WriteBytes("proj/lib/b.h", "int b;\r\n");
    fs::create_directories("proj/app/x");
    fs::create_directory_symlink("..", "proj/lib/back");
    fs::current_path("proj/app");
  }

  // The source files that one walk showed, in the order it met them.
  Names Walk(void (*walk)(const std::string&), const std::string& root) {
    fs::remove("AnalyzeLog.txt");
    fs::remove_all("vcwk012345");
    for (const char* d : {"vcwk012345/DEF/proj", "vcwk012345/FILEINFO"}) fs::create_directories(d);
    TextFile(WorkPath("DEF/Header_List.txt"), TextFile::Mode::Write).Close();
    host.statusDetails.clear();
    walk(root);
    Names shown;
    for (const std::string& d : host.statusDetails)
      if (d == "main.c" || d == "a.c" || d == "b.h") shown.push_back(d);
    return shown;
  }
};

void HeaderList(const std::string& root) { BuildHeaderList("*.*", root); }
void Preprocess(const std::string& root) {
  g_defOutputDir = WorkPath("DEF/proj");
  PreprocessTree("*.*", root);
}
void DefineWalk(const std::string& root) { SearchFile_DefineAls("*.*", root); }
void WordWalk(const std::string& root) { SearchFile_WordAls("*.*", root); }

TEST_F(WalkRootTest, EveryWalkReachesEveryFileWhateverTheSpellingOfItsRoot) {
  struct WalkCase {
    const char* name;
    void (*walk)(const std::string&);
  } walks[] = {{"header list", HeaderList}, {"preprocessing", Preprocess},
               {"definitions", DefineWalk}, {"words", WordWalk}};
  const std::string real = fs::canonical("..").string();
  const char* spellings[] = {"..", "./x/../..", "../app/..", "../lib/..", "../../PROJ", "../APP/..",
                             "../lib/back"};
  for (const WalkCase& w : walks) {
    SCOPED_TRACE(w.name);
    const Names plain = Walk(w.walk, real);
    Names sorted = plain;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    EXPECT_EQ(sorted, (Names{"a.c", "b.h", "main.c"}));
    for (const char* root : spellings) EXPECT_EQ(Walk(w.walk, root), plain) << root;
  }
}

// The preprocessing walk names the folder it leaves out as a loop, once,
// under the spelling of the walk, and nothing else.
TEST_F(WalkRootTest, OnlyTheLinkBackIsALoop) {
  struct Case {
    const char* root;
    const char* loop;  // as the log names it
  } cases[] = {{"..", "../lib/back"}, {"./x/../..", "./x/../../lib/back"}, {"../../PROJ", "../../proj/lib/back"}};
  for (const Case& c : cases) {
    Walk(Preprocess, c.root);
    EXPECT_EQ(Log(), Sj("プログラム解析 ") + c.loop + " : FOLDER LOOP, NOT WALKED\r\n") << c.root;
  }
}

}  // namespace
}  // namespace vandrel::test
