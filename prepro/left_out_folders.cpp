#include "prepro/left_out_folders.h"

#include <ctime>

#include "platform/clock.h"
#include "platform/file_ops.h"
#include "platform/os_path.h"
#include "run/run_state.h"
#include "run/texts.h"
#include "run/work_folder.h"

namespace vandrel {
namespace {

bool Same(const FileStamp& entry, const std::string& path) {
  FileStamp s;
  return GetFileStamp(path, s) && s.SameFile(entry);
}

// Every ASCII digit as "0" (no byte of a CP932 double-byte character is one).
std::string DigitsAsZero(std::string text) {
  for (char& c : text)
    if (c >= '0' && c <= '9') c = '0';
  return text;
}

bool IsResultFolderName(const std::string& name) {
  static const std::string shape = DigitsAsZero(FormatTime(kResultStampFormat, std::tm{}));
  return DigitsAsZero(name) == shape;
}

}  // namespace

LeftOutFolder FindLeftOutFolder(const std::string& parent, const std::string& name) {
  FileStamp entry;
  if (!GetFileStamp(JoinPath(parent, name), entry)) return LeftOutFolder::None;
  if (Same(entry, kWorkDir) || Same(entry, kOldWorkDir)) return LeftOutFolder::WorkArea;
  const std::string& output = g_runParameters.m_outputFolder;
  if (output.empty()) return LeftOutFolder::None;
  if (Same(entry, output)) return LeftOutFolder::Output;
  FileStamp folder;
  if (IsResultFolderName(name) && GetFileStamp(parent, folder) && Same(folder, output))
    return LeftOutFolder::Output;
  return LeftOutFolder::None;
}

}  // namespace vandrel
