#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/os_path.h"

namespace vandrel {

FileLock::Result FileLock::TryLock(const std::string& path) {
  Unlock();
  // Close-on-exec: a program started meanwhile (the desktop's opener) must
  // not keep the lock after this process has ended.
  // Non-blocking: a FIFO opens at once as well.
  const std::string os = OsPath(path);
  int fd = ::open(os.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0 && errno == EACCES) fd = ::open(os.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return Result::Unavailable;
  int r;
  do {
    r = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (r != 0 && errno == EINTR);
  if (r != 0) {
    const bool busy = errno == EWOULDBLOCK;
    ::close(fd);
    return busy ? Result::Busy : Result::Unavailable;
  }
  fd_ = fd;
  return Result::Taken;
}

void FileLock::Unlock() {
  if (fd_ < 0) return;
  ::close(fd_);  // drops the lock
  fd_ = -1;
}

}  // namespace vandrel
