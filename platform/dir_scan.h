// Directory scan in the manner of find-first/find-next: a pattern
// "folder/*.*", "folder/*.c" or an exact path; "." and ".." come first (as a
// folder search delivers them), then the entries in byte order after ASCII
// upper-casing of their CP932 names (names equal so, such as "foo" and
// "FOO", in byte order: the order never depends on the folder's own). Two
// kinds of entry are left out (and kept in GetSkipped): a name that does not
// convert to CP932 and back, which would not reach the same file again, and
// a folder that a walk scanning this folder is already in, by device and
// inode: the folder itself, a real folder above it, or the folder of a scan
// still open on this thread (the levels of a walk above this one). Such a
// folder is a symbolic link loop, which a walk would follow without end.
//
//   DirScan scan;
//   bool more = scan.FindFile("src/*.*");
//   while (more) {
//     more = scan.FindNextFile();
//     if (scan.IsDots()) continue;
//     ... scan.GetFileName(), scan.GetFilePath(), scan.IsDirectory() ...
//   }
#pragma once

#include <string>
#include <vector>

namespace vandrel {

class DirScan {
 public:
  DirScan() = default;
  DirScan(const DirScan&) = delete;
  DirScan& operator=(const DirScan&) = delete;
  ~DirScan();

  // Starts the search; true when at least one entry matches.
  bool FindFile(const std::string& pattern);
  // Steps to the next entry; true when yet another entry follows it.
  bool FindNextFile();
  void Close();

  bool IsDots() const;
  bool IsDirectory() const;
  // True when the entry is a symbolic link (IsDirectory follows it).
  bool IsSymlink() const;
  const std::string& GetFileName() const;
  // Folder of the pattern, "/", the entry name.
  std::string GetFilePath() const;
  // Name without its extension (text from the last "." on).
  std::string GetFileTitle() const;
  const std::string& GetRoot() const { return root_; }

  struct Skipped {
    std::string name;  // CP932, characters that CP932 lacks shown as "?"
    bool folderLoop;   // else a name that does not convert
  };
  const std::vector<Skipped>& GetSkipped() const { return skipped_; }

 private:
  struct Entry {
    std::string name;  // CP932
    bool directory;
    bool symlink;
  };
  std::string root_;
  std::vector<Entry> entries_;
  std::vector<Skipped> skipped_;
  long current_ = -1;
};

// True when the name matches a wildcard pattern the way a folder search
// does: "*" and "?" and case-insensitive letters; "*.*" matches any name.
bool MatchesWildcard(const std::string& name, const std::string& pattern);

// Sorts names the way the scan delivers them.
void SortScanOrder(std::vector<std::string>& names);

}  // namespace vandrel
