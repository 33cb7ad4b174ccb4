// RemoveTree: the tree is listed first (links are removed, not followed),
// then its files are deleted by the work threads, in runs of files
// (ordered_work.h), then the folders, the deepest first.
// What that leaves, for whatever reason, the plain removal takes, and its
// result is the answer.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/file_ops.h"
#include "platform/os_path.h"
#include "platform/ordered_work.h"
#include "platform/work_store.h"

namespace vandrel {
namespace {

struct Folder {
  std::string path;
  std::vector<std::string> files;
};

// `path` and the folders below it, each after the folder it lies in.
void ListFolders(const std::string& path, std::vector<Folder>& folders) {
  DIR* dir = ::opendir(path.c_str());
  if (!dir) return;
  const size_t index = folders.size();
  folders.push_back({path, {}});
  std::vector<std::string> subfolders;
  while (struct dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    bool folder = e->d_type == DT_DIR;
    struct stat st;
    if (e->d_type == DT_UNKNOWN && ::lstat((path + "/" + name).c_str(), &st) == 0)
      folder = S_ISDIR(st.st_mode);
    (folder ? subfolders : folders[index].files).push_back(name);
  }
  ::closedir(dir);
  for (const std::string& name : subfolders) ListFolders(path + "/" + name, folders);
}

}  // namespace

bool RemoveTree(const std::string& path) {
  if (ItemContext* item = CurrentItem()) {
    item->RunAtTurn();  // a change of the disk that cannot be held
    return false;
  }
  work_store::Forget(OsPath(path));
  std::error_code ec;
  const std::filesystem::path p = FsPath(path);
  const auto status = std::filesystem::symlink_status(p, ec);
  if (!std::filesystem::exists(status)) return false;
  if (std::filesystem::is_directory(status)) {
    std::vector<Folder> folders;
    ListFolders(p.string(), folders);
    std::vector<std::string> files;
    for (const Folder& f : folders)
      for (const std::string& name : f.files) files.push_back(f.path + "/" + name);
    ForEachRunInParallel(files.size(), 64, [&](size_t i) {
      ::unlink(files[i].c_str());
      return true;
    });
    for (size_t i = folders.size(); i-- > 1;) ::rmdir(folders[i].path.c_str());
  }
  std::filesystem::remove_all(p, ec);
  return !ec;
}

}  // namespace vandrel
