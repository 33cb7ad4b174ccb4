#include "prepro/prepro_walk.h"

#include <algorithm>

#include "platform/dir_scan.h"
#include "platform/file_ops.h"
#include "platform/host.h"
#include "platform/os_path.h"
#include "platform/text_file.h"
#include "prepro/define_table.h"
#include "prepro/file_prepro.h"
#include "prepro/header_list.h"
#include "prepro/left_out_folders.h"
#include "prepro/texts.h"
#include "reader/splitters.h"
#include "run/analysis_log.h"
#include "run/run_state.h"
#include "run/texts.h"
#include "run/work_folder.h"

namespace vandrel {
namespace {

void LoadDefList() {
  TextFile list;
  if (!list.Open("./DefList.txt", TextFile::Mode::Read)) return;
  std::string name, value;
  for (std::string line; list.ReadLine(line);) {
    SplitAtTab(line, name, value);
    AppendDefine(name, value);
  }
}

void WriteDefinitionFile(const std::string& path) {
  TextFile file;
  if (!file.Open(path, TextFile::Mode::Truncate)) {
    CurrentHost().MessageBox(path + kMsgFileNotOpen, kCaptionEnd, MessageButtons::Ok);
    return;
  }
  size_t count = std::min<size_t>(static_cast<size_t>(std::max(g_defineCount, 0)),
                                  std::min(g_defineNameList.size(), g_defineValueList.size()));
  for (size_t i = 0; i < count; ++i) file.Write(g_defineNameList[i] + g_defineValueList[i] + "\n");
}

}  // namespace

int PreprocessTree(const std::string& mask, const std::string& folder) {
  DirScan scan;
  bool more = scan.FindFile(JoinPath(folder, mask));
  if (!more) return 1;
  // The entries the scan leaves out, once per run: this walk mirrors the tree.
  for (const DirScan::Skipped& skipped : scan.GetSkipped())
    AppendAnalyzeLog(JoinPath(scan.GetRoot(), skipped.name),
                     skipped.folderLoop ? kLogFolderLoop : kLogNameNotCp932);
  while (more) {
    if (g_abortRequested.load() == 1) return 1;
    more = scan.FindNextFile();
    if (scan.IsDots()) continue;
    const std::string& name = scan.GetFileName();
    if (scan.IsDirectory()) {
      const LeftOutFolder leftOut = FindLeftOutFolder(scan.GetRoot(), name);
      if (leftOut == LeftOutFolder::Output) AppendAnalyzeLog(scan.GetFilePath(), kLogOutputFolder);
      if (leftOut == LeftOutFolder::Result) AppendAnalyzeLog(scan.GetFilePath(), kLogResultFolder);
      if (leftOut != LeftOutFolder::None) continue;  // never mirrored into itself
      const std::string saved = g_defOutputDir;
      g_defOutputDir = JoinPath(g_defOutputDir, name);
      MakeDirectory(g_defOutputDir);
      PreprocessTree(mask, scan.GetFilePath());
      g_defOutputDir = saved;
      continue;
    }
    SetStatusDetail(name);
    std::string ext;
    SplitFileName(name, g_preproFileTitle, ext);
    if (!IsSourceExtension(ext)) continue;
    ++g_progressDone;
    if (!SourceWorkNamesFit(name)) {
      AppendAnalyzeLog(JoinPath(g_defOutputDir, name), kLogNameTooLong);
      continue;
    }
    ClearDefineTable();
    PreprocessSourceFile(scan.GetFilePath());
  }
  return 0;
}

void PreprocessSourceFile(const std::string& path) {
  LogGroup lines;  // one line per kind for the file and its includes
  LoadDefList();
  PreprocessFile(path, 1);
  WriteDefinitionFile(WorkPath("DEF/" + DefinitionFileName(LastComponent(path))));
}

std::string DefinitionFileName(const std::string& fileName) {
  std::string title, ext;
  SplitFileName(fileName, title, ext);
  const bool header = ext.find(".h") != std::string::npos || ext.find(".H") != std::string::npos;
  return title + (header ? "_DEF_H.dat" : "_DEF_C.dat");
}

bool SourceWorkNamesFit(const std::string& fileName) {
  for (const std::string& name : {DefinitionFileName(fileName), "INF_" + fileName, "F_" + fileName})
    if (!FitsOsNameLength(name)) return false;
  return true;
}

}  // namespace vandrel
