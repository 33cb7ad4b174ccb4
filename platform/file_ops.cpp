#include "platform/file_ops.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "platform/os_path.h"

namespace vandrel {
namespace fs = std::filesystem;

bool PathExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::exists(FsPath(path), ec);
}

bool GetFileStamp(const std::string& path, FileStamp& stamp) {
  struct stat st;
  if (path.empty() || ::stat(OsPath(path).c_str(), &st) != 0) return false;
  stamp.device = static_cast<unsigned long long>(st.st_dev);
  stamp.inode = static_cast<unsigned long long>(st.st_ino);
  stamp.size = static_cast<unsigned long long>(st.st_size);
  stamp.modifiedNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  return true;
}

bool IsDirectoryPath(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(FsPath(path), ec);
}

bool MakeDirectory(const std::string& path) {
  std::error_code ec;
  return fs::create_directory(FsPath(path), ec);
}

bool RemoveDirectory(const std::string& path) {
  return ::rmdir(OsPath(path).c_str()) == 0;
}

bool DeleteFile(const std::string& path) {
  std::string os = OsPath(path);
  struct stat st;
  if (::lstat(os.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (!S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0) return false;
  return ::unlink(os.c_str()) == 0;
}

bool CopyFile(const std::string& from, const std::string& to, bool overwrite) {
  std::error_code ec;
  auto opt = overwrite ? fs::copy_options::overwrite_existing : fs::copy_options::none;
  return fs::copy_file(FsPath(from), FsPath(to), opt, ec) && !ec;
}

bool RenameFile(const std::string& from, const std::string& to) {
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

bool RemoveTree(const std::string& path) {
  std::error_code ec;
  fs::path p = FsPath(path);
  if (!fs::exists(fs::symlink_status(p, ec))) return false;
  fs::remove_all(p, ec);
  return !ec;
}

}  // namespace vandrel
