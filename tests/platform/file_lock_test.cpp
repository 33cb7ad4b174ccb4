#include "platform/file_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include "test_support.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;

class FileLockTest : public test::TempDirTest {};

// The lock belongs to the open file: a second lock of the same file in the
// same process is refused until the first is dropped; the file stays.
TEST_F(FileLockTest, TwoLocksOfOneFileConflictEvenInOneProcess) {
  FileLock first, second;
  EXPECT_EQ(first.TryLock("x.lock"), FileLock::Result::Taken);
  EXPECT_EQ(second.TryLock("x.lock"), FileLock::Result::Busy);
  EXPECT_FALSE(second.IsLocked());
  first.Unlock();
  EXPECT_EQ(second.TryLock("x.lock"), FileLock::Result::Taken);
  {
    FileLock third;
    EXPECT_EQ(third.TryLock("y.lock"), FileLock::Result::Taken);  // another file
  }
  FileLock fourth;
  EXPECT_EQ(fourth.TryLock("y.lock"), FileLock::Result::Taken);  // dropped with its object
  EXPECT_TRUE(fs::exists("x.lock"));
}

TEST_F(FileLockTest, AFileThatCannotBeMadeIsNoLockAndNoConflict) {
  FileLock lock;
  EXPECT_EQ(lock.TryLock("nosuch/x.lock"), FileLock::Result::Unavailable);
  EXPECT_FALSE(lock.IsLocked());
}

// What stands at the lock's path decides: an entry that cannot be opened
// is no lock; one that opens is a lock like a file (the second is busy).
TEST_F(FileLockTest, WhatStandsAtThePathMakesALockOrNone) {
  struct Case {
    const char* what;
    std::function<void()> make;
    FileLock::Result first;
  } cases[] = {
      {"a folder", [] { fs::create_directory("x.lock"); }, FileLock::Result::Unavailable},
      {"a link into a missing folder", [] { fs::create_symlink("missing/x.lock", "x.lock"); },
       FileLock::Result::Unavailable},
      {"a link to itself", [] { fs::create_symlink("x.lock", "x.lock"); }, FileLock::Result::Unavailable},
      {"a link to a file not made yet", [] { fs::create_symlink("target.lock", "x.lock"); },
       FileLock::Result::Taken},
      {"a FIFO", [] { ASSERT_EQ(mkfifo("x.lock", 0666), 0); }, FileLock::Result::Taken},
      {"a file the user may only read",
       [] {
         std::ofstream("x.lock").close();
         fs::permissions("x.lock", fs::perms::owner_read);
       },
       FileLock::Result::Taken},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all("x.lock");
    fs::remove("target.lock");
    c.make();
    FileLock first, second;
    EXPECT_EQ(first.TryLock("x.lock"), c.first);
    EXPECT_EQ(first.IsLocked(), c.first == FileLock::Result::Taken);
    if (c.first == FileLock::Result::Taken) {
      EXPECT_EQ(second.TryLock("x.lock"), FileLock::Result::Busy);
    }
  }
}

TEST_F(FileLockTest, AFileTheUserMayNotReadIsNoLock) {
  if (geteuid() == 0) GTEST_SKIP() << "root opens a file whatever its permissions";
  std::ofstream("x.lock").close();
  fs::permissions("x.lock", fs::perms::none);
  FileLock lock;
  EXPECT_EQ(lock.TryLock("x.lock"), FileLock::Result::Unavailable);
}

}  // namespace
}  // namespace vandrel
