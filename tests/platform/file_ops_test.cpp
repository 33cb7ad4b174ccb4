#include "platform/file_ops.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;

class FileOpsTest : public test::TempDirTest {};

TEST_F(FileOpsTest, IsSameOrBelow) {
  fs::create_directories("work/sub");
  fs::create_directories("work.old");
  fs::create_directory_symlink("work/sub", "link");
  // Links to what does not exist yet, the way to it through links.
  fs::create_directory_symlink("work/later", "dangling");
  fs::create_directory_symlink(fs::absolute("work") / "later/deeper", "absolute");
  fs::create_directory_symlink("dangling", "chain");
  fs::create_directories("other");
  fs::create_directory_symlink("../work/gone", "other/up");
  fs::create_directory_symlink("elsewhere/x", "outside");
  fs::create_directory_symlink("loop2", "loop1");
  fs::create_directory_symlink("loop1", "loop2");
  struct Case {
    const char *path, *folder;
    bool below;
  } cases[] = {
      {"work", "work", true},
      {"work/sub", "work", true},
      {"./work/../work/sub/", "work", true},
      {"link", "work", true},         // a link into it
      {"dangling", "work", true},
      {"absolute", "work", true},
      {"chain", "work", true},
      {"chain/below", "work", true},
      {"other/up", "work", true},
      {"outside", "work", false},
      {"loop1", "work", false},
      {"WORK/Sub", "work", true},     // found as reads find it
      {"work.old", "work", false},    // a name that begins like it
      {"work", "work/sub", false},    // above it
      {".", "work", false},
      {"nosuch", "work", false},
      {"work", "nosuch", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsSameOrBelow(c.path, c.folder), c.below) << c.path << " in " << c.folder;
}

}  // namespace
}  // namespace vandrel
