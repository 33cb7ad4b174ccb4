// CopyTree against std::filesystem::copy (recursive, replacing files) on a
// generated tree: the same paths, contents and permissions, also over an
// existing copy with longer files, and the cases that must fail; RemoveTree
// on the same tree.
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <random>
#include <thread>

#include "platform/file_ops.h"
#include "platform/os_path.h"
#include "test_support.h"

namespace vandrel::test {
namespace {

namespace fs = std::filesystem;

struct Entry {
  std::string bytes;  // a folder: "<dir>"
  fs::perms perms;
  bool operator==(const Entry&) const = default;
};

std::map<std::string, Entry> Snapshot(const fs::path& root) {
  std::map<std::string, Entry> entries;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    std::string rel = e.path().lexically_relative(root).string();
    entries[rel] = {e.is_directory() ? "<dir>" : ReadBytes(e.path()), e.status().permissions()};
  }
  return entries;
}

// Three levels of folders with a few hundred files: empty ones, one of 3 MB,
// names in Shift-JIS, a read-only file, a file anyone may write and a link
// to a file.
void MakeTree(const fs::path& root) {
  std::mt19937 rnd(7);
  const std::vector<std::string> folders = {"", "HTML", "HTML/CallTree", "HTML/RAM", "func_als",
                                            Sj("DEF/プリプロ"), "empty"};
  for (const std::string& f : folders) fs::create_directories(root / OsPath(f));
  for (int i = 0; i < 400; ++i) {
    const std::string& f = folders[rnd() % (folders.size() - 1)];
    std::string bytes(rnd() % 3 == 0 ? 0 : rnd() % 5000, 'x');
    for (char& c : bytes) c = static_cast<char>('a' + rnd() % 26);
    WriteBytes(root / OsPath(f) / ("f" + std::to_string(i) + ".txt"), bytes);
  }
  WriteBytes(root / "HTML" / "big.txt", std::string(3 << 20, 'b'));
  WriteBytes(root / OsPath(Sj("DEF/プリプロ/関数.c")), Sj("関数\r\n"));
  WriteBytes(root / "readonly.txt", "keep");
  fs::permissions(root / "readonly.txt", fs::perms::owner_read | fs::perms::group_read);
  WriteBytes(root / "shared.txt", "everyone writes");  // more than the umask lets a new file have
  fs::permissions(root / "shared.txt", fs::perms::owner_read | fs::perms::owner_write |
                                            fs::perms::group_read | fs::perms::group_write |
                                            fs::perms::others_read | fs::perms::others_write);
  fs::create_symlink("f0.txt", root / "link.txt");
  WriteBytes(root / "f0.txt", "target");
}

using TreeCopyTest = TempDirTest;

TEST_F(TreeCopyTest, CopiesWhatTheLibraryCopyCopies) {
  MakeTree("src");
  fs::create_directories("plain");
  fs::copy("src", "plain", fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  ASSERT_TRUE(CopyTree("src", "fast"));
  EXPECT_EQ(Snapshot("fast"), Snapshot("plain"));
  EXPECT_EQ(Snapshot("fast").size(), Snapshot("src").size());
  struct stat st;
  ASSERT_EQ(::lstat("fast/link.txt", &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));  // the link's file, not the link
}

// Copies run at the same time (the result folder's rows): each file gets its
// source's mode, and the process's umask stays as it was.
TEST_F(TreeCopyTest, CopiesAtTheSameTimeLeaveTheUmaskAlone) {
  WriteBytes("src/shared.txt", "everyone writes");
  fs::permissions("src/shared.txt", fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec &
                                        ~fs::perms::others_exec);  // 0666
  const mode_t before = ::umask(022);
  std::vector<std::thread> copies;
  std::atomic<int> failed{0};
  constexpr int kThreads = 8, kCopies = 300;
  for (int t = 0; t < kThreads; ++t)
    copies.emplace_back([t, &failed] {
      for (int i = 0; i < kCopies; ++i)
        failed += !CopyTree("src", "copy" + std::to_string(t) + "_" + std::to_string(i));
    });
  for (std::thread& t : copies) t.join();
  EXPECT_EQ(::umask(before), 022);
  EXPECT_EQ(failed, 0);
  int wrong = 0;
  for (int t = 0; t < kThreads; ++t)
    for (int i = 0; i < kCopies; ++i)
      wrong += fs::status("copy" + std::to_string(t) + "_" + std::to_string(i) + "/shared.txt").permissions() !=
               fs::status("src/shared.txt").permissions();
  EXPECT_EQ(wrong, 0);
}

TEST_F(TreeCopyTest, ReplacesAnOlderCopyOfLongerFiles) {
  MakeTree("src");
  fs::create_directories("old/HTML");
  WriteBytes("old/HTML/f1.txt", std::string(9000, 'o'));  // longer than any new file
  WriteBytes("old/HTML/extra.txt", "stays");
  fs::copy("old", "plain", fs::copy_options::recursive);
  fs::copy("old", "fast", fs::copy_options::recursive);
  fs::copy("src", "plain", fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  ASSERT_TRUE(CopyTree("src", "fast"));
  EXPECT_EQ(Snapshot("fast"), Snapshot("plain"));
  EXPECT_EQ(ReadBytes("fast/HTML/extra.txt"), "stays");
}

TEST_F(TreeCopyTest, ASingleFileAndTheFailures) {
  WriteBytes("one.txt", "1");
  ASSERT_TRUE(CopyTree("one.txt", "two.txt"));
  EXPECT_EQ(ReadBytes("two.txt"), "1");
  EXPECT_FALSE(CopyTree("missing", "x"));

  fs::create_directories("src/sub");
  WriteBytes("src/sub/a.txt", "a");
  WriteBytes("dst", "a file where the folder should go");
  EXPECT_FALSE(CopyTree("src", "dst"));

  fs::create_directories("loop/inner");
  fs::create_directory_symlink("..", "loop/inner/up");
  EXPECT_FALSE(CopyTree("loop", "loopcopy"));  // ends instead of following the loop

  if (::geteuid() != 0) {  // root writes into read-only files
    fs::create_directories("ro");
    WriteBytes("ro/sub/a.txt", "old");
    fs::permissions("ro/sub/a.txt", fs::perms::owner_read);
    EXPECT_FALSE(CopyTree("src", "ro"));
  }
}

// The parallel removal takes the whole tree, links as links: what they name
// outside the tree stays. A file or a missing path is handled as well.
TEST_F(TreeCopyTest, RemovesATreeButNotWhatItsLinksName) {
  MakeTree("tree");
  fs::create_directories("outside/sub");
  WriteBytes("outside/sub/kept.txt", "kept");
  fs::create_directory_symlink(fs::absolute("outside"), "tree/HTML/outside");
  fs::create_symlink(fs::absolute("outside/sub/kept.txt"), "tree/func_als/kept.txt");
  ASSERT_TRUE(RemoveTree("tree"));
  EXPECT_FALSE(fs::exists(fs::symlink_status("tree")));
  EXPECT_EQ(ReadBytes("outside/sub/kept.txt"), "kept");

  WriteBytes("one.txt", "1");
  EXPECT_TRUE(RemoveTree("one.txt"));
  EXPECT_FALSE(fs::exists("one.txt"));
  EXPECT_FALSE(RemoveTree("missing"));
}

}  // namespace
}  // namespace vandrel::test
