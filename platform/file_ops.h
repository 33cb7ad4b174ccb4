// File system calls on CP932 paths.
#pragma once

#include <atomic>
#include <filesystem>
#include <string>

namespace vandrel {

bool PathExists(const std::string& path);
// True when the path names an entry of its folder, a link to nothing
// included (links are not followed); no other case is tried.
bool EntryExists(const std::string& path);

// What tells one file from another and a changed file from its old state.
struct FileStamp {
  unsigned long long device = 0, inode = 0, size = 0;
  long long modifiedNs = 0;
  bool SameFile(const FileStamp& o) const { return device == o.device && inode == o.inode; }
  bool operator==(const FileStamp&) const = default;
};
// False when the path names nothing (links are followed). Found like a read.
bool GetFileStamp(const std::string& path, FileStamp& stamp);
// The same for a path as the OS names it.
bool GetOsFileStamp(const std::filesystem::path& osPath, FileStamp& stamp);

// Reads find their files whatever the case of their ASCII letters, as on
// the Windows file systems the sources often come from: for a path that does
// not exist, the existing path whose components match it so, component by
// component (the first in byte order where several do). False when there is
// none. Writes never use it: they create the names they are given.
bool MatchPathIgnoringCase(const std::string& path, std::string& found);
bool IsDirectoryPath(const std::string& path);
// True when `path` is the folder `folder` or lies below it, both found as
// reads find them and every link on the way resolved, also a link whose
// target does not exist yet (a path that does not exist may lie below the
// folder); false when the folder names nothing or the links loop.
bool IsSameOrBelow(const std::string& path, const std::string& folder);
// Creates one folder; an existing folder is fine (the result is not needed).
bool MakeDirectory(const std::string& path);
bool RemoveDirectory(const std::string& path);
// Deletes a file. A read-only file (no write permission) is refused, as
// Windows refuses to delete read-only files.
bool DeleteFile(const std::string& path);
// Copies a file, replacing the destination when allowed.
bool CopyFile(const std::string& from, const std::string& to, bool overwrite = true);
bool RenameFile(const std::string& from, const std::string& to);
// The process's current directory, as a CP932 path.
std::string CurrentDirectory();
bool SetCurrentDirectory(const std::string& path);

// Deletes a whole tree (folder or file; links are removed, not followed);
// true on success. A folder's files are deleted by several threads
// (tree_remove.cpp).
bool RemoveTree(const std::string& path);
// Copies a folder or file to the path `to` (which must not exist as a file);
// existing files are replaced and links followed. A folder's files are
// copied by several threads (tree_copy.cpp). When `stop` is given and turns
// 1, no further file is begun and the result is false.
bool CopyTree(const std::string& from, const std::string& to,
              const std::atomic<int>* stop = nullptr);

}  // namespace vandrel
