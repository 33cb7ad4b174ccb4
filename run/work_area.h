// The work area of the current directory (the work folder, the folder set
// aside beside it and the log) as the commands share it: one command at a
// time, and a mark that tells a completed run from one that did not end.
#pragma once

#include <string>

#include "platform/file_lock.h"

namespace vandrel {

// "./.vandrel.lock": the file whose lock stands for the work area. It lies
// beside the work folder, so no copy of the work folder takes it.
extern const std::string kWorkAreaLockPath;

// Takes the lock of the work area for one command. False, after a box, when
// another command holds it, in this process or in another (the box names the
// folder), or when the lock file cannot be opened or locked (the box names
// the file); the caller then touches nothing.
bool LockWorkArea(FileLock& lock);

// True when the path is the work folder or its set-aside folder, or lies
// inside one of them: a run deletes both.
bool IsInWorkArea(const std::string& path);

// "./vcwk012345/AnalysisCompleted.txt": written when the pipeline has run to
// its end without losing writes, so a run still going, cancelled, stopped,
// killed or short of disk space has none.
extern const std::string kCompletionMarkPath;

bool WriteCompletionMark();  // false when the file could not be written
bool HasCompletionMark();
void DeleteCompletionMark();

}  // namespace vandrel
