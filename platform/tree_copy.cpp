// CopyTree: the folders are listed and created first, then the files are
// copied by the work threads, in runs of files (ordered_work.h). Each file
// takes two opens, one fstat, the copy in the kernel and two closes (and a
// change of its mode where the umask would leave it another).
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_ops.h"
#include "platform/os_path.h"
#include "platform/ordered_work.h"
#include "platform/work_store.h"

namespace vandrel {
namespace {

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now; false when the close reports a lost write.
  bool Close() {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// The umask, as the kernel tells it (setting it to read it would race with
// other threads).
mode_t ProcessUmask() {
  static const mode_t mask = [] {
    mode_t m = 0777;  // when it cannot be read: every mode is set
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
      char line[256];
      while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "Umask: %o", &m) == 1) break;
      std::fclose(f);
    }
    return m;
  }();
  return mask;
}

bool CopyBytes(int in, int out, off_t size) {
  off_t done = 0;
  while (done < size) {
    ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, static_cast<size_t>(size - done), 0);
    if (n > 0) {
      done += n;
      continue;
    }
    if (n == 0) return true;  // the file got shorter
    if (errno == EINTR) continue;
    if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return false;
    break;  // no copy in the kernel between these files: read and write
  }
  char buf[1 << 16];
  for (;;) {
    ssize_t n = ::read(in, buf, sizeof buf);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    for (ssize_t w = 0; w < n;) {
      ssize_t m = ::write(out, buf + w, static_cast<size_t>(n - w));
      if (m < 0 && errno == EINTR) continue;
      if (m <= 0) return false;
      w += m;
    }
  }
}

// One file, replacing the destination, which gets the source's permissions.
bool CopyOneFile(const std::string& from, const std::string& to) {
  Fd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st;
  if (in.get() < 0 || ::fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  const mode_t mode = st.st_mode & 07777;
  int fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  const bool created = fd >= 0;
  if (fd < 0 && errno == EEXIST) fd = ::open(to.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  Fd out(fd);
  if (out.get() < 0) return false;
  // A new file has the mode less the umask, an old one its own.
  const bool modeIsRight = created && (mode & ~ProcessUmask()) == mode;
  if (!modeIsRight && ::fchmod(out.get(), mode) != 0) return false;
  return CopyBytes(in.get(), out.get(), st.st_size) && out.Close();
}

struct CopyPlan {
  struct Folder {
    std::string from, to;
    mode_t mode;
    std::vector<std::string> files;  // names
  };
  std::vector<Folder> folders;  // each after the folder it lies in
  std::vector<std::pair<dev_t, ino_t>> listing;  // the folders being listed, against link loops
};

// Lists `from` and everything below it; links are followed, as a copy of
// the files they name.
bool ListTree(const std::string& from, const std::string& to, const struct stat& self, CopyPlan& plan) {
  for (const auto& [dev, ino] : plan.listing)
    if (dev == self.st_dev && ino == self.st_ino) return false;
  DIR* dir = ::opendir(from.c_str());
  if (!dir) return false;
  plan.listing.emplace_back(self.st_dev, self.st_ino);
  const size_t index = plan.folders.size();
  plan.folders.push_back({from, to, self.st_mode & 07777, {}});
  std::vector<std::pair<std::string, struct stat>> subfolders;
  bool ok = true;
  while (struct dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    unsigned char type = e->d_type;
    struct stat st {};
    if (type == DT_UNKNOWN || type == DT_LNK || type == DT_DIR) {
      if (::stat((from + "/" + name).c_str(), &st) != 0) {
        ok = false;
        break;
      }
      type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
    }
    if (type == DT_DIR) {
      subfolders.emplace_back(name, st);
    } else if (type == DT_REG) {
      plan.folders[index].files.push_back(name);
    } else {
      ok = false;  // a device, a pipe or a socket is no file to copy
      break;
    }
  }
  ::closedir(dir);
  for (size_t i = 0; ok && i < subfolders.size(); ++i)
    ok = ListTree(from + "/" + subfolders[i].first, to + "/" + subfolders[i].first,
                  subfolders[i].second, plan);
  plan.listing.pop_back();
  return ok;
}

bool MakeFolder(const std::string& path, mode_t mode) {
  if (::mkdir(path.c_str(), mode) == 0) return true;
  struct stat st;
  return errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CopyFolder(const std::string& from, const std::string& to, const struct stat& self,
                const std::atomic<int>* stop) {
  CopyPlan plan;
  if (!ListTree(from, to, self, plan)) return false;
  for (size_t i = 1; i < plan.folders.size(); ++i)
    if (!MakeFolder(plan.folders[i].to, plan.folders[i].mode)) return false;

  // Runs of files taken from the folders in turn: threads creating files in
  // one folder wait for each other on the folder's lock.
  constexpr size_t kRun = 64;
  std::vector<std::pair<const CopyPlan::Folder*, const std::string*>> files;
  size_t most = 0;
  for (const CopyPlan::Folder& f : plan.folders) most = std::max(most, f.files.size());
  for (size_t start = 0; start < most; start += kRun)
    for (const CopyPlan::Folder& f : plan.folders)
      for (size_t k = start; k < std::min(f.files.size(), start + kRun); ++k)
        files.emplace_back(&f, &f.files[k]);
  return ForEachRunInParallel(files.size(), kRun, [&](size_t i) {
    if (stop && stop->load() == 1) return false;
    const auto& [folder, name] = files[i];
    return CopyOneFile(folder->from + "/" + *name, folder->to + "/" + *name);
  });
}

}  // namespace

bool CopyTree(const std::string& from, const std::string& to, const std::atomic<int>* stop) {
  if (ItemContext* item = CurrentItem()) {
    item->RunAtTurn();  // a change of the disk that cannot be held
    return false;
  }
  const std::string src = OsPath(from), dst = OsPath(to);
  work_store::SettleFolder(src);
  work_store::Forget(dst);
  struct stat st;
  if (::stat(src.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode)) return CopyOneFile(src, dst);
  std::error_code ec;
  std::filesystem::create_directories(dst, ec);
  return !ec && IsDirectoryPath(to) && CopyFolder(src, dst, st, stop);
}

}  // namespace vandrel
