#include "run/work_folder.h"

#include "platform/cp932.h"
#include "platform/dir_scan.h"
#include "platform/file_ops.h"
#include "platform/os_path.h"
#include "run/analysis_log.h"

namespace vandrel {

const std::string kWorkDir = "./vcwk012345";
const std::string kOldWorkDir = "./vcwk012345.old";
const std::string g_callTreeDirPath = "./vcwk012345/HTML/CallTree";

std::string WorkPath(std::string_view relative) { return JoinPath(kWorkDir, relative); }

namespace {

// One trailing separator removed, character-wise (a trail byte 0x5C stays).
std::string WithoutOneTrailingSeparator(const std::string& path) {
  if (path.size() > 1 && (MbEndsWithChar(path, '\\') || MbEndsWithChar(path, '/')))
    return path.substr(0, path.size() - 1);
  return path;
}

}  // namespace

int DeleteFolderTree(const std::string& path) {
  if (path.empty()) return 0;
  return RemoveTree(WithoutOneTrailingSeparator(path)) ? 1 : 0;
}

int CopyFolderTo(const std::string& src, const std::string& dst, const std::atomic<int>* stop) {
  if (src.empty() || dst.empty()) return 0;
  std::string from = WithoutOneTrailingSeparator(src);
  std::string to = WithoutOneTrailingSeparator(dst);
  if (!PathExists(from) || MbCompareNoCase(from, to) == 0) return 0;
  // Into an existing folder the source lands under its own name.
  std::string target = IsDirectoryPath(to) ? JoinPath(to, LastComponent(from)) : to;
  return CopyTree(from, target, stop) ? 1 : 0;
}

int DeleteDirectoryRecursive(const std::string& path) {
  std::string folder = StripTrailingSeparators(path);
  DirScan scan;
  bool more = scan.FindFile(folder + "/*.*");
  if (!more) return 0;
  while (more) {
    more = scan.FindNextFile();
    if (scan.IsDots()) continue;
    std::string full = JoinPath(folder, scan.GetFileName());
    if (scan.IsDirectory() && !scan.IsSymlink())
      DeleteDirectoryRecursive(full);
    else
      DeleteFile(full);
  }
  scan.Close();
  return RemoveDirectory(path) ? 1 : 0;
}

bool FileNameFits(const std::string& name) {
  // "\" is a separator on its way to the OS, unless it is a trail byte; the
  // name must come back from the OS as itself, and fit the OS's name length
  // with the longest prefix and suffix the files made of it get.
  constexpr size_t kNameMax = 255;
  constexpr size_t kDecoration = sizeof("call_tree_.html") - 1;
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
      name.find('\0') != std::string::npos || MbFind(name, "\\") != std::string::npos)
    return false;
  const std::string os = OsPath(name);
  return os.size() + kDecoration <= kNameMax && ReachableCp932Name(os) == name;
}

bool IsUsableFileName(const std::string& name) {
  if (FileNameFits(name)) return true;
  std::string shown = name;
  for (char& c : shown)
    if (c == '\0') c = ' ';
  AppendAnalyzeLog("[" + shown + "]", "NOT A FILE NAME\n");
  return false;
}

}  // namespace vandrel
