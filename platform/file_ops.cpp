#include "platform/file_ops.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "platform/cp932.h"
#include "platform/ordered_work.h"
#include "platform/os_path.h"
#include "platform/work_store.h"

namespace vandrel {
namespace fs = std::filesystem;

namespace {

// Inside an item, a change of the disk cannot be held: the item runs at its
// turn, and the change is not made now.
bool HeldBack() {
  ItemContext* item = CurrentItem();
  if (item) item->RunAtTurn();
  return item != nullptr;
}

// The kept tree's answer for a file of it (work_store.h), or nothing.
std::optional<work_store::View> KeptView(const std::string& path, bool wantBytes = false) {
  if (std::optional<std::string> key = work_store::KeyOf(OsPath(path))) {
    work_store::View v = work_store::Look(*key, wantBytes);
    if (v.kept) return v;
  }
  return std::nullopt;
}

}  // namespace

bool PathExists(const std::string& path) {
  if (path.empty()) return false;
  if (std::optional<work_store::View> v = KeptView(path)) return v->exists;
  std::error_code ec;
  return fs::exists(FsPath(path), ec);
}

bool EntryExists(const std::string& path) {
  if (path.empty()) return false;
  if (std::optional<work_store::View> v = KeptView(path)) return v->exists;
  struct stat st;
  return ::lstat(OsPath(path).c_str(), &st) == 0;
}

namespace {

// The names of one folder by their upper-cased form, as last listed; listed
// again when the folder has changed since. Missing includes ask for the same
// folders again and again.
struct FolderNames {
  FileStamp stamp;
  std::unordered_map<std::string, std::string> byUpper;  // the first in byte order
};

// The entry of `folder` whose name equals `name` ignoring case.
bool MatchEntryIgnoringCase(const std::string& folder, const std::string& name, std::string& found) {
  static std::mutex mutex;
  static std::unordered_map<std::string, FolderNames> cache;
  const std::string dir = folder.empty() ? "." : folder;
  FileStamp now;
  if (!GetFileStamp(dir, now)) return false;
  std::lock_guard<std::mutex> lock(mutex);
  FolderNames& names = cache[dir];
  if (names.byUpper.empty() || !(names.stamp == now)) {
    names.stamp = now;
    names.byUpper.clear();
    std::error_code ec;
    auto it = fs::directory_iterator(FsPath(dir), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
      std::optional<std::string> entry = ReachableCp932Name(it->path().filename().string());
      if (!entry) continue;
      auto [slot, added] = names.byUpper.emplace(MbUpper(*entry), *entry);
      if (!added && *entry < slot->second) slot->second = *entry;
    }
  }
  auto hit = names.byUpper.find(MbUpper(name));
  if (hit == names.byUpper.end()) return false;
  found = hit->second;
  return true;
}

}  // namespace

bool MatchPathIgnoringCase(const std::string& path, std::string& found) {
  work_store::SettleFolder(OsPath(path));  // the disk then holds what the tree does
  std::string prefix;
  size_t start = 0;
  bool changed = false;
  for (size_t pos = 0; pos <= path.size(); pos = pos < path.size() ? MbNextChar(path, pos) : pos + 1) {
    if (pos < path.size() && !IsSeparatorAt(path, pos)) continue;
    std::string part = path.substr(start, pos - start);
    start = pos + 1;
    if (part.empty()) {
      if (pos == 0) prefix = "/";  // an absolute path
      continue;
    }
    std::string exact = JoinPath(prefix, part);
    std::error_code ec;
    if (part != "." && part != ".." && !fs::exists(FsPath(exact), ec)) {
      std::string entry;
      if (!MatchEntryIgnoringCase(prefix, part, entry)) return false;
      exact = JoinPath(prefix, entry);
      changed = true;
    }
    prefix = exact;
  }
  if (!changed) return false;
  found = prefix;
  return true;
}

bool GetOsFileStamp(const fs::path& osPath, FileStamp& stamp) {
  struct stat st;
  if (osPath.empty() || ::stat(osPath.c_str(), &st) != 0) return false;
  stamp.device = static_cast<unsigned long long>(st.st_dev);
  stamp.inode = static_cast<unsigned long long>(st.st_ino);
  stamp.size = static_cast<unsigned long long>(st.st_size);
  stamp.modifiedNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  return true;
}

bool GetFileStamp(const std::string& path, FileStamp& stamp) {
  if (path.empty()) return false;
  if (std::optional<work_store::View> v = KeptView(path); v && v->exists) {
    // A file of the kept tree: its own identity, a change makes a new stamp.
    stamp = {~0ULL, v->id, v->size, static_cast<long long>(v->version)};
    return true;
  }
  if (GetOsFileStamp(FsPath(path), stamp)) return true;
  std::string other;
  return errno == ENOENT && MatchPathIgnoringCase(path, other) && GetOsFileStamp(FsPath(other), stamp);
}

bool IsDirectoryPath(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(FsPath(path), ec);
}

namespace {

// The absolute path with every link on the way replaced by its target, also
// a link whose target does not exist (yet); the parts that do not exist are
// taken as they are written. Empty for a loop of links.
fs::path ResolveLinks(const fs::path& path) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(path, ec);
  if (ec) return {};
  const fs::path parts = absolute.relative_path();
  std::vector<fs::path> rest(parts.begin(), parts.end());
  std::reverse(rest.begin(), rest.end());  // the next part last
  fs::path done = absolute.root_path();
  for (int links = 0; !rest.empty();) {
    const fs::path part = rest.back();
    rest.pop_back();
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      done = done.parent_path();  // done holds no link: its parent is the real one
      continue;
    }
    const fs::path next = done / part;
    struct stat st;
    if (::lstat(next.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      done = next;
      continue;
    }
    const fs::path target = fs::read_symlink(next, ec);
    if (ec || ++links > 40) return {};  // 40: as the kernel's limit
    if (target.is_absolute()) done = target.root_path();
    const fs::path targetParts = target.relative_path();
    for (auto it = targetParts.end(); it != targetParts.begin();) rest.push_back(*--it);
  }
  return done;
}

}  // namespace

bool IsSameOrBelow(const std::string& path, const std::string& folder) {
  FileStamp target;
  if (!GetFileStamp(folder, target) || path.empty()) return false;
  std::string found = path;
  if (!PathExists(path)) MatchPathIgnoringCase(path, found);  // found stays the path when none matches
  fs::path p = ResolveLinks(FsPath(found));
  if (p.empty()) return false;
  for (;;) {
    FileStamp s;
    if (GetOsFileStamp(p, s) && s.SameFile(target)) return true;
    if (!p.has_relative_path()) return false;  // the root
    p = p.parent_path();
  }
}

bool MakeDirectory(const std::string& path) {
  if (std::optional<std::string> key = work_store::KeyOf(OsPath(path))) return work_store::MakeFolder(*key);
  if (HeldBack()) return false;
  std::error_code ec;
  return fs::create_directory(FsPath(path), ec);
}

bool RemoveDirectory(const std::string& path) {
  if (HeldBack()) return false;
  work_store::SettleFolder(OsPath(path));
  if (::rmdir(OsPath(path).c_str()) != 0) return false;
  work_store::FolderRemoved(OsPath(path));
  return true;
}

bool DeleteFile(const std::string& path) {
  std::string os = OsPath(path);
  if (std::optional<std::string> key = work_store::KeyOf(os)) {
    work_store::View v = work_store::Look(*key, false);
    struct stat st;
    if (v.kept ? !v.exists : (::lstat(os.c_str(), &st) != 0 || S_ISDIR(st.st_mode))) return false;
    work_store::Change(*key, path, {{work_store::FileOp::kDelete, 0, {}}});
    return true;
  }
  if (HeldBack()) return false;
  struct stat st;
  if (::lstat(os.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (!S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0) return false;
  return ::unlink(os.c_str()) == 0;
}

bool CopyFile(const std::string& from, const std::string& to, bool overwrite) {
  if (HeldBack()) return false;
  work_store::SettleFolder(OsPath(from));
  work_store::Forget(OsPath(to));
  std::error_code ec;
  auto opt = overwrite ? fs::copy_options::overwrite_existing : fs::copy_options::none;
  return fs::copy_file(FsPath(from), FsPath(to), opt, ec) && !ec;
}

bool RenameFile(const std::string& from, const std::string& to) {
  const std::optional<std::string> fromKey = work_store::KeyOf(OsPath(from));
  const std::optional<std::string> toKey = work_store::KeyOf(OsPath(to));
  if (fromKey && toKey) {
    // Within the kept tree: the bytes move, as a rename moves them.
    if (work_store::CanCreate(*toKey) && work_store::Move(*fromKey, from, *toKey, to)) return true;
  }
  if (HeldBack()) return false;
  work_store::SettleFolder(OsPath(from));
  work_store::SettleFolder(OsPath(to));
  work_store::Forget(OsPath(from));
  work_store::Forget(OsPath(to));
  std::error_code ec;
  fs::rename(FsPath(from), FsPath(to), ec);
  return !ec;
}

std::string CurrentDirectory() {
  std::error_code ec;
  return FromOsName(fs::current_path(ec).string());
}

bool SetCurrentDirectory(const std::string& path) {
  std::error_code ec;
  fs::current_path(FsPath(path), ec);
  return !ec;
}

}  // namespace vandrel
