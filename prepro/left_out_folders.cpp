#include "prepro/left_out_folders.h"

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

bool IsResultFolder(const std::string& folder) {
  for (const std::string* held : {&kFolderDefinitions, &kFolderExpandedSource, &kFolderWorkCopy})
    if (!IsDirectoryPath(JoinPath(folder, *held))) return false;
  return true;
}

}  // namespace

LeftOutFolder FindLeftOutFolder(const std::string& parent, const std::string& name) {
  const std::string path = JoinPath(parent, name);
  FileStamp entry;
  if (!GetFileStamp(path, entry)) return LeftOutFolder::None;
  if (Same(entry, kWorkDir) || Same(entry, kOldWorkDir)) return LeftOutFolder::WorkArea;
  const std::string& output = g_runParameters.m_outputFolder;
  if (!output.empty() && Same(entry, output)) return LeftOutFolder::Output;
  return IsResultFolder(path) ? LeftOutFolder::Result : LeftOutFolder::None;
}

}  // namespace vandrel
