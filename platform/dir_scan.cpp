#include "platform/dir_scan.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/cp932.h"
#include "platform/file_ops.h"
#include "platform/os_path.h"
#include "platform/work_store.h"

namespace vandrel {
namespace fs = std::filesystem;

namespace {

bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }

bool Match(const char* n, const char* p) {
  while (*p) {
    if (*p == '*') {
      while (*p == '*') ++p;
      if (!*p) return true;
      for (const char* s = n; ; ++s) {
        if (Match(s, p)) return true;
        if (!*s) return false;
      }
    }
    if (!*n) return false;
    if (*p != '?' && UpperAscii(*p) != UpperAscii(*n)) return false;
    ++p;
    ++n;
  }
  return !*n;
}

// Byte order after ASCII upper-casing; names equal so ("foo", "FOO") in
// byte order, so that the order never depends on how the folder lists them.
bool ScanKeyLess(const std::string& upperA, const std::string& a, const std::string& upperB,
                 const std::string& b) {
  // char_traits<char> compares bytes as unsigned char.
  auto bytesLess = [](const std::string& x, const std::string& y) { return x.compare(y) < 0; };
  if (upperA != upperB) return bytesLess(upperA, upperB);
  return bytesLess(a, b);
}

// Sorts items by their names in scan order; each name is upper-cased once.
template <class T, class Name>
void SortByScanOrder(std::vector<T>& items, Name name) {
  std::vector<std::pair<std::string, size_t>> keys;
  keys.reserve(items.size());
  for (size_t i = 0; i < items.size(); ++i) keys.emplace_back(MbUpper(name(items[i])), i);
  std::sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
    return ScanKeyLess(a.first, name(items[a.second]), b.first, name(items[b.second]));
  });
  std::vector<T> sorted;
  sorted.reserve(items.size());
  for (const auto& k : keys) sorted.push_back(std::move(items[k.second]));
  items = std::move(sorted);
}

// Splits a pattern at its last separator into folder and name parts.
void SplitPattern(const std::string& pattern, std::string& folder, std::string& name) {
  size_t cut = std::string::npos;
  for (size_t pos = 0; pos < pattern.size(); pos = MbNextChar(pattern, pos)) {
    if ((pattern[pos] == '/' || pattern[pos] == '\\') && MbNextChar(pattern, pos) == pos + 1) cut = pos;
  }
  if (cut == std::string::npos) {
    folder.clear();
    name = pattern;
  } else {
    folder = pattern.substr(0, cut);
    name = pattern.substr(cut + 1);
    if (folder.empty()) folder = "/";
  }
}

// The folders of the folder scans open on this thread, by the scan: while a
// walk scans a folder, the scans of the folders it walked down through are
// still open.
std::vector<std::pair<const void*, FileStamp>>& OpenScans() {
  thread_local std::vector<std::pair<const void*, FileStamp>> open;
  return open;
}

// The folders a walk that scans `folder` is in: the folders of the scans
// still open (a link as the folder it leads to), and the real folder itself
// with every real folder above it (its path resolved: in "app/.." the walk
// is not in app).
std::vector<FileStamp> FoldersAbove(const fs::path& folder) {
  std::vector<FileStamp> stamps;
  for (const auto& open : OpenScans()) stamps.push_back(open.second);
  std::error_code ec;
  const fs::path real = fs::weakly_canonical(fs::absolute(folder, ec), ec);
  if (ec) return stamps;
  fs::path step;
  for (const fs::path& part : real) {
    step /= part;
    FileStamp s;
    if (GetOsFileStamp(step, s)) stamps.push_back(s);
  }
  return stamps;
}

}  // namespace

bool MatchesWildcard(const std::string& name, const std::string& pattern) {
  // A final ".*" also matches names without any dot, as "*.*" does.
  if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0 &&
      name.find('.') == std::string::npos) {
    return Match(name.c_str(), pattern.substr(0, pattern.size() - 2).c_str());
  }
  return Match(name.c_str(), pattern.c_str());
}

void SortScanOrder(std::vector<std::string>& names) {
  SortByScanOrder(names, [](const std::string& n) -> const std::string& { return n; });
}

bool DirScan::FindFile(const std::string& pattern) {
  Close();
  std::string folder, name;
  std::string p = StripTrailingSeparators(pattern);
  SplitPattern(p, folder, name);
  root_ = folder;
  std::error_code ec;

  if (!HasWildcard(name)) {
    // An exact path: the entry itself, found with its name as the folder lists it.
    if (name.empty()) return false;
    if (std::optional<std::string> key = work_store::KeyOf(OsPath(p))) {
      work_store::View v = work_store::Look(*key, false);
      if (v.kept && v.exists) {
        entries_.push_back({name, false, false});
        return true;
      }
    }
    fs::path full = FsPath(p);
    std::string shown = name;
    if (!fs::exists(full, ec)) {
      std::string other;
      if (!MatchPathIgnoringCase(p, other)) return false;
      full = FsPath(other);
      shown = LastComponent(other);
    }
    bool dir = fs::is_directory(full, ec);
    if (name == "." || name == "..") {
      // A folder given as "." or "..": its own name, as the folder above lists it.
      std::string real = FromOsName(fs::weakly_canonical(full, ec).filename().string());
      if (!real.empty()) shown = real;
    }
    entries_.push_back({shown, dir, fs::is_symlink(fs::symlink_status(full, ec))});
    return true;
  }

  fs::path dirPath = folder.empty() ? fs::path(".") : FsPath(folder);
  work_store::SettleFolder(dirPath.string());  // the disk then lists what the tree holds
  if (!fs::is_directory(dirPath, ec)) {
    std::string other;
    if (!MatchPathIgnoringCase(folder, other) || !fs::is_directory(FsPath(other), ec)) return false;
    root_ = other;
    dirPath = FsPath(other);
  }
  std::vector<Entry> found;
  std::vector<FileStamp> above;
  bool aboveKnown = false;
  const std::string dirOs = dirPath.string();
  DIR* listing = ::opendir(dirOs.c_str());
  if (!listing) return false;
  while (const dirent* d = ::readdir(listing)) {
    const std::string osName = d->d_name;
    if (osName == "." || osName == "..") continue;
    std::optional<std::string> n = ReachableCp932Name(osName);
    const std::string& shownName = n ? *n : ToCp932(osName);
    if (!MatchesWildcard(shownName, name)) continue;
    if (!n) {
      skipped_.push_back({shownName, false});
      continue;
    }
    // A link is a folder when it leads to one.
    bool dir = d->d_type == DT_DIR, link = d->d_type == DT_LNK;
    const bool plainFile = d->d_type == DT_REG;
    const std::string full = plainFile ? std::string() : dirOs + "/" + osName;
    if (link || d->d_type == DT_UNKNOWN) {
      struct stat st;
      if (!link && ::lstat(full.c_str(), &st) == 0) link = S_ISLNK(st.st_mode);
      dir = ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    if (dir) {
      if (!aboveKnown) above = FoldersAbove(dirPath);
      aboveKnown = true;
      FileStamp s;
      bool loop = GetOsFileStamp(full, s) &&
                  std::any_of(above.begin(), above.end(), [&](const FileStamp& a) { return a.SameFile(s); });
      if (loop) {
        skipped_.push_back({*n, true});
        continue;
      }
    }
    found.push_back({*n, dir, link});
  }
  ::closedir(listing);
  SortByScanOrder(found, [](const Entry& e) -> const std::string& { return e.name; });
  FileStamp own;
  if (GetOsFileStamp(dirPath, own)) OpenScans().push_back({this, own});
  if (MatchesWildcard(".", name)) entries_.push_back({".", true, false});
  if (MatchesWildcard("..", name)) entries_.push_back({"..", true, false});
  entries_.insert(entries_.end(), found.begin(), found.end());
  return !entries_.empty();
}

bool DirScan::FindNextFile() {
  if (current_ + 1 < static_cast<long>(entries_.size())) ++current_;
  return current_ + 1 < static_cast<long>(entries_.size());
}

DirScan::~DirScan() { Close(); }

void DirScan::Close() {
  std::erase_if(OpenScans(), [this](const auto& open) { return open.first == this; });
  entries_.clear();
  skipped_.clear();
  root_.clear();
  current_ = -1;
}

bool DirScan::IsDots() const {
  const std::string& n = GetFileName();
  return n == "." || n == "..";
}

bool DirScan::IsDirectory() const {
  return current_ >= 0 && entries_[current_].directory;
}

bool DirScan::IsSymlink() const {
  return current_ >= 0 && entries_[current_].symlink;
}

const std::string& DirScan::GetFileName() const {
  static const std::string empty;
  return current_ >= 0 ? entries_[current_].name : empty;
}

std::string DirScan::GetFilePath() const {
  return root_.empty() ? GetFileName() : JoinPath(root_, GetFileName());
}

std::string DirScan::GetFileTitle() const {
  const std::string& n = GetFileName();
  size_t dot = n.rfind('.');
  return dot == std::string::npos ? n : n.substr(0, dot);
}

}  // namespace vandrel
