// Opening a document with xdg-open: its exit status decides, a document that
// is not there is not handed over, and an xdg-open that goes on running (it
// runs the opener it picked in its foreground) counts as opened once the
// wait's limit has passed.
#include "platform/desktop.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "test_support.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;

class DesktopTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    const char* path = std::getenv("PATH");
    oldPath_ = path ? path : "";
    bin_ = fs::current_path() / "bin";
    fs::create_directories(bin_);
    setenv("PATH", (bin_.string() + ":" + oldPath_).c_str(), 1);
  }
  void TearDown() override {
    setenv("PATH", oldPath_.c_str(), 1);
    TempDirTest::TearDown();
  }
  // An xdg-open that notes its argument in bin/opened.txt, then runs `then`.
  void FakeXdgOpen(const std::string& then) {
    test::WriteBytes(bin_ / "xdg-open",
                     "#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/opened.txt\"\n" + then + "\n");
    fs::permissions(bin_ / "xdg-open", fs::perms::owner_all);
  }

  std::string oldPath_;
  fs::path bin_;
};

TEST_F(DesktopTest, ExitStatusTellsWhetherItOpened) {
  struct Case {
    const char* script;
    bool opened;
  } cases[] = {
      {"exit 0", true},
      {"exit 1", false},
      {"exit 3", false},  // no opener for the file type
      {"exit 4", false},  // the opener failed
      {"kill -9 $$", false},
  };
  test::WriteBytes("out/index.html", "<html>");
  for (const Case& c : cases) {
    FakeXdgOpen(c.script);
    fs::remove(bin_ / "opened.txt");
    EXPECT_EQ(OpenWithDesktop("out/index.html"), c.opened) << c.script;
    // Handed over by its absolute path: the opener may run elsewhere.
    EXPECT_EQ(test::ReadBytes(bin_ / "opened.txt"), (fs::current_path() / "out/index.html").string()) << c.script;
  }
}

TEST_F(DesktopTest, MissingDocumentOrMissingXdgOpenFails) {
  FakeXdgOpen("exit 0");
  EXPECT_FALSE(OpenWithDesktop("out/index.html"));
  EXPECT_FALSE(fs::exists(bin_ / "opened.txt"));
  fs::create_directories("out/folder.html");
  EXPECT_FALSE(OpenWithDesktop("out/folder.html"));
  EXPECT_FALSE(fs::exists(bin_ / "opened.txt"));

  test::WriteBytes("out/index.html", "<html>");
  setenv("PATH", "/nonexistent", 1);
  EXPECT_FALSE(OpenWithDesktop("out/index.html"));
}

// Still running at the limit: opened, and the wait ends there.
TEST_F(DesktopTest, XdgOpenStillRunningAtTheLimitCountsAsOpened) {
  test::WriteBytes("index.html", "<html>");
  FakeXdgOpen("exec >/dev/null 2>&1; sleep 3; exit 1");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(OpenWithDesktop("index.html", std::chrono::milliseconds(200)));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2000));
  EXPECT_TRUE(fs::exists(bin_ / "opened.txt"));
}

}  // namespace
}  // namespace vandrel
