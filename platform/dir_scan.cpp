#include "platform/dir_scan.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/cp932.h"
#include "platform/os_path.h"

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

bool ScanLess(const std::string& a, const std::string& b) {
  std::string ua = MbUpper(a), ub = MbUpper(b);
  return std::lexicographical_compare(
      ua.begin(), ua.end(), ub.begin(), ub.end(),
      [](char x, char y) { return static_cast<unsigned char>(x) < static_cast<unsigned char>(y); });
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
  std::stable_sort(names.begin(), names.end(), ScanLess);
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
    fs::path full = FsPath(p);
    if (name.empty() || !fs::exists(full, ec)) return false;
    bool dir = fs::is_directory(full, ec);
    std::string shown = name;
    if (name == "." || name == "..") {
      // A folder given as "." or "..": its own name, as the folder above lists it.
      std::string real = FromOsName(fs::weakly_canonical(full, ec).filename().string());
      if (!real.empty()) shown = real;
    }
    entries_.push_back({shown, dir, fs::is_symlink(fs::symlink_status(full, ec))});
    return true;
  }

  fs::path dirPath = folder.empty() ? fs::path(".") : FsPath(folder);
  if (!fs::is_directory(dirPath, ec)) return false;
  std::vector<Entry> found;
  auto it = fs::directory_iterator(dirPath, ec);
  if (ec) return false;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    std::string n = FromOsName(it->path().filename().string());
    if (!MatchesWildcard(n, name)) continue;
    std::error_code dec;
    found.push_back({n, it->is_directory(dec), it->is_symlink(dec)});
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const Entry& a, const Entry& b) { return ScanLess(a.name, b.name); });
  if (MatchesWildcard(".", name)) entries_.push_back({".", true, false});
  if (MatchesWildcard("..", name)) entries_.push_back({"..", true, false});
  entries_.insert(entries_.end(), found.begin(), found.end());
  return !entries_.empty();
}

bool DirScan::FindNextFile() {
  if (current_ + 1 < static_cast<long>(entries_.size())) ++current_;
  return current_ + 1 < static_cast<long>(entries_.size());
}

void DirScan::Close() {
  entries_.clear();
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
