#include "commands/result_folder.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "test_support.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::WriteBytes;

class ResultFolderTest : public test::TempDirTest {
 protected:
  // Every entry below out/ with its bytes ("<dir>", or a link's target).
  static std::map<std::string, std::string> Entries() {
    std::map<std::string, std::string> entries;
    for (const auto& e : fs::recursive_directory_iterator("out"))
      entries[e.path().string()] = e.is_symlink()     ? "-> " + fs::read_symlink(e.path()).string()
                                   : e.is_directory() ? "<dir>"
                                                      : test::ReadBytes(e.path());
    return entries;
  }
};

// A run takes the first free name and leaves every entry that was there as it was.
TEST_F(ResultFolderTest, TheFirstFreeNameIsMade) {
  const std::string stamp = "2026年12月10日14時05分09秒";  // UTF-8 for the file system, CP932 inside
  struct Case {
    const char* name;
    std::vector<std::string> there;  // in out/: folders, "file:" files, "link:" links to nothing
    std::string output, path;        // "S" stands for the stamp
    bool made;
  } cases[] = {
      {"free", {}, "out", "out/S", true},
      {"trailing separator", {}, "out/", "out/S", true},
      {"same second", {"S"}, "out", "out/S_2", true},
      {"third", {"S", "S_2"}, "out", "out/S_3", true},
      {"a file and a link take names too", {"S", "file:S_2", "link:S_3"}, "out", "out/S_4", true},
      {"a gap is not filled", {"S", "S_3"}, "out", "out/S_2", true},
      {"output names a file", {}, "out/f.txt", "out/f.txt/S", false},
      {"no output folder", {}, "nosuch", "nosuch/S", false},
  };
  auto named = [&](std::string s) { return s.replace(s.find('S'), 1, stamp); };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all("out");
    WriteBytes("out/f.txt", "");
    for (const std::string& entry : c.there) {
      if (entry.starts_with("file:")) {
        WriteBytes("out/" + named(entry.substr(5)), "mine");
      } else if (entry.starts_with("link:")) {
        fs::create_directory_symlink("nowhere", "out/" + named(entry.substr(5)));
      } else {
        WriteBytes("out/" + named(entry) + "/mine.txt", "mine");
      }
    }
    auto expected = Entries();
    const ResultFolder folder = MakeResultFolder(c.output, ToCp932(stamp));
    EXPECT_EQ(ToUtf8(folder.path), named(c.path));
    EXPECT_EQ(folder.made, c.made);
    if (c.made) expected[named(c.path)] = "<dir>";
    EXPECT_EQ(Entries(), expected);
  }
}

}  // namespace
}  // namespace vandrel
