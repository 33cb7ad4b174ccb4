// The kept work folder on eight work threads: what items read and write of
// it, what reaches the disk, and the reports of writes the disk lost.
#include "platform/work_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "platform/file_ops.h"
#include "platform/ordered_work.h"
#include "platform/text_file.h"
#include "test_support.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> g_lost;
void NoteLost(const std::string& path) { g_lost.push_back(path); }

class WorkStoreTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    test::TempDirTest::SetUp();
    fs::create_directory("kept");
    SetWorkThreadsForTesting(8);
    work_store::Begin("./kept");
    g_lost.clear();
    oldHandler_ = SetLostWriteHandler(NoteLost);
  }
  void TearDown() override {
    work_store::End();
    work_store::SetMemoryBudgetForTesting(128 << 20);
    SetLostWriteHandler(oldHandler_);
    SetWorkThreadsForTesting(0);
    test::TempDirTest::TearDown();
  }

 private:
  LostWriteHandler oldHandler_ = nullptr;
};

std::string ReadKept(const std::string& path) {
  std::string text;
  EXPECT_TRUE(ReadTextFile(path, text)) << path;
  return text;
}

// Each item reads the file that every item before it appended to, then adds
// its own line: an item run ahead on what was not yet committed runs again,
// so each sees exactly the lines before it, and the disk gets them all.
TEST_F(WorkStoreTest, AnItemReadsWhatTheItemsBeforeItWrote) {
  constexpr size_t kItems = 200;
  std::vector<std::string> seen(kItems);
  RunInOrder(kItems, [&](size_t i) {
    std::string before;
    ReadTextFile("./kept/lines.txt", before);
    TextFile out("./kept/lines.txt", TextFile::Mode::Append);
    out.Write(std::to_string(i) + "\n");
    out.Close();
    AtCommit([&seen, i, before] { seen[i] = before; });
    return true;
  });
  std::string expected;
  for (size_t i = 0; i < kItems; ++i) {
    EXPECT_EQ(seen[i], expected) << i;
    expected += std::to_string(i) + "\n";
  }
  EXPECT_EQ(ReadKept("./kept/lines.txt"), expected);
  work_store::End();
  EXPECT_EQ(test::ReadBytes("kept/lines.txt"), test::Crlf(expected));
}

// Items write files of their own; a folder one of them makes is there for
// the later ones. A file written by an item is on the disk once the store
// ends, whole, with CR LF line ends.
TEST_F(WorkStoreTest, ItemWritesReachTheDiskWhole) {
  constexpr size_t kItems = 300;
  RunInOrder(kItems, [&](size_t i) {
    if (i == 0) MakeDirectory("./kept/sub");
    TextFile out("./kept/sub/f" + std::to_string(i % 50) + ".txt", TextFile::Mode::Append);
    out.Write("item " + std::to_string(i) + "\n");
    out.Close();
    return true;
  });
  work_store::End();
  for (size_t f = 0; f < 50; ++f) {
    std::string expected;
    for (size_t i = f; i < kItems; i += 50) expected += "item " + std::to_string(i) + "\r\n";
    EXPECT_EQ(test::ReadBytes("kept/sub/f" + std::to_string(f) + ".txt"), expected) << f;
  }
}

// Beyond the memory budget, what is written leaves memory: later appends
// and reads still give the whole file.
TEST_F(WorkStoreTest, AFileBeyondTheBudgetReadsWhole) {
  work_store::SetMemoryBudgetForTesting(1024);
  std::string expected;
  for (int round = 0; round < 20; ++round) {
    TextFile out("./kept/big.txt", TextFile::Mode::Append);
    const std::string line(3000, static_cast<char>('a' + round));
    out.Write(line + "\n");
    out.Close();
    expected += line + "\n";
    work_store::Drain();
    ASSERT_EQ(ReadKept("./kept/big.txt"), expected) << round;
  }
  // Rewritten from the start, over what only the disk holds.
  TextFile shorter("./kept/big.txt", TextFile::Mode::Truncate);
  shorter.Write("short\n");
  shorter.Close();
  EXPECT_EQ(ReadKept("./kept/big.txt"), "short\n");
  work_store::End();
  EXPECT_EQ(test::ReadBytes("kept/big.txt"), "short\r\n");
}

// Writes lost behind the run are reported once per file, in the order the
// files were written, before a log line that came after them.
TEST_F(WorkStoreTest, LostWritesAreReportedInTheOrderWritten) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here to stand for a full disk";
  for (const char* name : {"a", "b", "c"}) fs::create_symlink("/dev/full", fs::path("kept") / name);
  std::vector<std::string> order;
  RunInOrder(6, [&](size_t i) {
    static const char* const kNames[] = {"c", "ok1", "a", "ok2", "b", "ok3"};
    TextFile out(std::string("./kept/") + kNames[i], TextFile::Mode::Truncate);
    out.Write(std::string(100, 'x') + "\n");
    out.Close();
    return true;
  });
  work_store::AfterChangesSoFar([&] { order = g_lost; });
  work_store::End();
  const std::vector<std::string> expected = {"./kept/c", "./kept/a", "./kept/b"};
  EXPECT_EQ(order, expected);
  EXPECT_EQ(g_lost, expected);
  EXPECT_EQ(test::ReadBytes("kept/ok3"), std::string(100, 'x') + "\r\n");
}

// Files written again and again over their own bytes while their last
// writes are still going: a line logged after a round of writes finds every
// file of the round (or a later one) on the disk, and the disk ends with the
// last round.
TEST_F(WorkStoreTest, ALineAfterRewritesFindsThemOnTheDisk) {
  constexpr int kFiles = 8, kRounds = 400;
  auto fileName = [](int f) { return "kept/f" + std::to_string(f); };
  auto roundText = [](int round) {  // of one length: each write covers the last
    const std::string n = std::to_string(round);
    return "round " + std::string(4 - n.size(), '0') + n + "\n";
  };
  std::mutex mutex;
  std::vector<std::string> stale;  // files older on the disk than the line's round
  for (int round = 0; round < kRounds; ++round) {
    for (int f = 0; f < kFiles; ++f) {
      TextFile out("./" + fileName(f), TextFile::Mode::Write);
      out.Write(roundText(round));
      out.Close();
    }
    if (round % 20 != 19) continue;
    work_store::AfterChangesSoFar([&, round] {
      for (int f = 0; f < kFiles; ++f) {
        const std::string bytes = test::ReadBytes(fileName(f));
        const std::string first = test::Crlf(roundText(0));
        if (bytes.size() != first.size() || std::stoi(bytes.substr(6, 4)) < round) {
          std::lock_guard<std::mutex> lock(mutex);
          stale.push_back(fileName(f) + " at round " + std::to_string(round) + ": " + bytes);
        }
      }
    });
  }
  work_store::End();
  EXPECT_EQ(stale, std::vector<std::string>());
  for (int f = 0; f < kFiles; ++f) EXPECT_EQ(test::ReadBytes(fileName(f)), test::Crlf(roundText(kRounds - 1)));
}

// An ended run drops the writes not yet begun (its folder is to be
// deleted); the next run's log lines then wait for its own writes only.
TEST_F(WorkStoreTest, AfterDroppedWritesTheNextRunWaitsForItsOwnWritesOnly) {
  constexpr int kFiles = 3000;
  for (int i = 0; i < kFiles; ++i) {
    TextFile out("./kept/f" + std::to_string(i), TextFile::Mode::Truncate);
    out.Write("x\n");
    out.Close();
  }
  work_store::End(/*dropWrites=*/true);
  int onDisk = 0;
  for (int i = 0; i < kFiles; ++i) onDisk += fs::exists("kept/f" + std::to_string(i));
  if (onDisk == kFiles) GTEST_SKIP() << "every write had begun: nothing was dropped";
  work_store::Begin("./kept");
  TextFile out("./kept/next.txt", TextFile::Mode::Truncate);
  out.Write("next\n");
  out.Close();
  bool logged = false;
  work_store::AfterChangesSoFar([&] { logged = true; });
  work_store::Drain();
  EXPECT_TRUE(logged);
  EXPECT_EQ(test::ReadBytes("kept/next.txt"), "next\r\n");
}

}  // namespace
}  // namespace vandrel
