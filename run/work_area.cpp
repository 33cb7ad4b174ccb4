#include "run/work_area.h"

#include "platform/file_ops.h"
#include "platform/host.h"
#include "platform/os_path.h"
#include "platform/text_file.h"
#include "run/texts.h"
#include "run/work_folder.h"

namespace vandrel {

const std::string kWorkAreaLockPath = "./.vandrel.lock";
// Spelled out: a namespace-scope constant cannot rely on kWorkDir, which
// another file initialises, in whatever order.
const std::string kCompletionMarkPath = "./vcwk012345/AnalysisCompleted.txt";

bool LockWorkArea(FileLock& lock) {
  const FileLock::Result r = lock.TryLock(kWorkAreaLockPath);
  if (r == FileLock::Result::Taken) return true;
  const std::string folder = CurrentDirectory();
  const std::string text = r == FileLock::Result::Busy
                               ? kMsgWorkAreaBusy + folder
                               : kMsgLockFileUnavailable + JoinPath(folder, LastComponent(kWorkAreaLockPath));
  CurrentHost().MessageBox(text, kCaptionEnd, MessageButtons::Ok);
  return false;
}

bool IsInWorkArea(const std::string& path) {
  return IsSameOrBelow(path, kWorkDir) || IsSameOrBelow(path, kOldWorkDir);
}

bool WriteCompletionMark() {
  TextFile mark;
  return mark.Open(kCompletionMarkPath, TextFile::Mode::Truncate) && mark.Close();
}

bool HasCompletionMark() { return PathExists(kCompletionMarkPath); }

void DeleteCompletionMark() { DeleteFile(kCompletionMarkPath); }

}  // namespace vandrel
