#include "platform/file_lock.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vandrel
