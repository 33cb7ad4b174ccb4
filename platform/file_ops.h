// File system calls on CP932 paths.
#pragma once

#include <string>

namespace vandrel {

bool PathExists(const std::string& path);
bool IsDirectoryPath(const std::string& path);
// Creates one folder; an existing folder is fine (the result is not needed).
bool MakeDirectory(const std::string& path);
bool RemoveDirectory(const std::string& path);
// Deletes a file. A read-only file (no write permission) is refused, as the
// original platform refuses to delete read-only files.
bool DeleteFile(const std::string& path);
// Copies a file, replacing the destination when allowed.
bool CopyFile(const std::string& from, const std::string& to, bool overwrite = true);
bool RenameFile(const std::string& from, const std::string& to);
// The process's current directory, as a CP932 path.
std::string CurrentDirectory();
bool SetCurrentDirectory(const std::string& path);

// Deletes a whole tree (folder or file); true on success.
bool RemoveTree(const std::string& path);
// Copies a folder or file to the path `to` (which must not exist as a file);
// existing files are replaced.
bool CopyTree(const std::string& from, const std::string& to);

}  // namespace vandrel
