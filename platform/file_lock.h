// An advisory lock on a file (flock): the lock belongs to the open file, so
// two FileLock objects conflict even within one process, and the OS drops it
// when the process ends, whatever ends it (SIGKILL included). The file is
// created when missing and never deleted: deleting it would let two
// processes lock two different files of the same name.
#pragma once

#include <string>

namespace vandrel {

class FileLock {
 public:
  FileLock() = default;
  ~FileLock() { Unlock(); }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  enum class Result {
    Taken,
    Busy,         // another open of the file holds it
    Unavailable,  // the file cannot be opened or locked (a folder, a link to nothing, a file
                  // the user may not read, a folder where it cannot be made)
  };
  // Takes the lock without waiting. A file the user may read but not write
  // (another user's) is locked all the same: the lock needs no write access.
  Result TryLock(const std::string& path);
  void Unlock();
  bool IsLocked() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace vandrel
