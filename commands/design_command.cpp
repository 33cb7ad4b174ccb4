#include "commands/design_command.h"

#include "commands/texts.h"
#include "platform/dir_scan.h"
#include "platform/file_ops.h"
#include "platform/host.h"
#include "reports/design_info.h"
#include "run/analysis_log.h"
#include "run/run_state.h"
#include "run/texts.h"
#include "run/work_area.h"
#include "run/work_folder.h"

namespace vandrel {
namespace {

int Box(const std::string& text, MessageButtons buttons = MessageButtons::Ok) {
  return CurrentHost().MessageBox(text, kCaptionEnd, buttons);
}

bool HasCExtension(const std::string& name) {
  size_t dot = name.rfind('.');
  return dot != std::string::npos && name.compare(dot, std::string::npos, ".c") == 0;
}

// The FILE INFO pass over FILEINFO/*.c; false when the abort flag ended it.
// `whole` turns false when the folder or a file could not be opened or a
// file lost writes (each said by its box or the log).
bool CreateFileInfo(bool& whole) {
  WriteTimestampedLog(kLogFileInfoStart);
  const std::string pattern = WorkPath("FILEINFO/*.*");
  DesignLookups lookups;
  DirScan scan;
  bool more = scan.FindFile(pattern);
  if (!more) {
    AppendAnalyzeLog(pattern, "FILE NOT OPEN\n");
    Box(kMsgFileInfoNotOpen);
    whole = false;
  }
  while (more) {
    if (g_abortRequested.load() == 1) return false;
    more = scan.FindNextFile();
    if (scan.IsDots() || scan.IsDirectory()) continue;
    SetStatusDetail(scan.GetFileName());
    if (HasCExtension(scan.GetFileName()) && !BuildFileInfoSummary(scan.GetFilePath(), lookups)) whole = false;
  }
  scan.Close();
  WriteTimestampedLog(kLogFileInfoEnd);
  return true;
}

}  // namespace

bool OnDesignDocButton(const std::string& outputFolder, BusyBox& busyBox) {
  FileLock lock;
  if (!LockWorkArea(lock)) return false;
  bool whole = true;
  if (!CreateFileInfo(whole)) return false;
  g_runParameters.m_outputFolder = outputFolder;
  if (!PathExists(outputFolder)) {
    Box(kMsgNoOutputFolder);
    return false;
  }
  DirScan results;
  if (!results.FindFile(WorkPath("FunctionList4/*.*")) || !HasCompletionMark()) {
    Box(kMsgNoAnalysisResults);
    return false;
  }
  if (Box(kAskDesignDocStart, MessageButtons::OkCancel) != kIdOk) return false;
  g_abortRequested = 0;
  busyBox.Open();
  busyBox.Close();
  return whole;
}

}  // namespace vandrel
