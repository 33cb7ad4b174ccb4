// The work folder ./vcwk012345 and the three file-tree operations.
#pragma once

#include <atomic>
#include <string>
#include <string_view>

namespace vandrel {

extern const std::string kWorkDir;         // "./vcwk012345"
extern const std::string g_callTreeDirPath;  // "./vcwk012345/HTML/CallTree"

// The previous run's work folder, set aside at the start of a run and deleted
// when the run has ended ("./vcwk012345.old").
extern const std::string kOldWorkDir;

// kWorkDir + "/" + relative path.
std::string WorkPath(std::string_view relative);

// Deletes a folder (or file) and everything below it: 1 on success, else 0.
int DeleteFolderTree(const std::string& path);
// Copies a folder (or file) into the folder dst, replacing what is there:
// 1 on success; 0 when a path is missing, the source does not exist, the
// two paths are equal ignoring case, or the copy failed (or was stopped by
// `stop` turning 1).
int CopyFolderTo(const std::string& src, const std::string& dst,
                 const std::atomic<int>* stop = nullptr);
// Deletes the folder's files and sub-folders one by one, then the folder;
// nonzero when the folder itself was removed. Links are removed, not followed.
int DeleteDirectoryRecursive(const std::string& path);

// A name that the analysis turns into a file name: false (with one analysis
// log line) for "", ".", "..", a name holding "/", a NUL byte or a "\"
// that is not the trail byte of a double-byte character, a name that does
// not convert to the OS's names and back (not valid CP932), and one too long
// for the OS once "call_tree_" and ".html" are added.
bool IsUsableFileName(const std::string& name);
// The same test without the log line.
bool FileNameFits(const std::string& name);

}  // namespace vandrel
