#include "prepro/prepro_walk.h"

#include <algorithm>
#include <vector>

#include "platform/dir_scan.h"
#include "platform/file_ops.h"
#include "platform/host.h"
#include "platform/ordered_work.h"
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

namespace {

// What the walk meets, in its order: a line for the log, or a file with the
// mirror folder it goes to.
struct WalkEntry {
  std::string logLabel, logText;  // a log line when logText is not empty
  std::string name, path, mirror;
};

// Lists the tree below folder, making the mirror folders as it goes. False
// when the folder cannot be scanned or the abort flag stopped the listing.
bool ListTree(const std::string& mask, const std::string& folder, const std::string& mirror,
              std::vector<WalkEntry>& entries) {
  DirScan scan;
  bool more = scan.FindFile(JoinPath(folder, mask));
  if (!more) return false;
  // The entries the scan leaves out, once per run: this walk mirrors the tree.
  for (const DirScan::Skipped& skipped : scan.GetSkipped())
    entries.push_back({JoinPath(scan.GetRoot(), skipped.name),
                       skipped.folderLoop ? kLogFolderLoop : kLogNameNotCp932, {}, {}, {}});
  while (more) {
    if (g_abortRequested.load() == 1) return false;
    more = scan.FindNextFile();
    if (scan.IsDots()) continue;
    const std::string& name = scan.GetFileName();
    if (scan.IsDirectory()) {
      const LeftOutFolder leftOut = FindLeftOutFolder(scan.GetRoot(), name);
      if (leftOut == LeftOutFolder::Output) entries.push_back({scan.GetFilePath(), kLogOutputFolder, {}, {}, {}});
      if (leftOut == LeftOutFolder::Result) entries.push_back({scan.GetFilePath(), kLogResultFolder, {}, {}, {}});
      if (leftOut != LeftOutFolder::None) continue;  // never mirrored into itself
      const std::string sub = JoinPath(mirror, name);
      MakeDirectory(sub);
      if (!ListTree(mask, scan.GetFilePath(), sub, entries) && g_abortRequested.load() == 1) return false;
      continue;
    }
    entries.push_back({{}, {}, name, scan.GetFilePath(), mirror});
  }
  return true;
}

// One entry; source files are preprocessed, each with a table of its own.
void PreprocessEntry(const WalkEntry& e) {
  if (!e.logText.empty()) return AppendAnalyzeLog(e.logLabel, e.logText);
  SetStatusDetail(e.name);
  std::string title, ext;
  SplitFileName(e.name, title, ext);
  g_preproFileTitle = title;
  if (!IsSourceExtension(ext)) return;
  AtCommit([] { ++g_progressDone; });
  if (!SourceWorkNamesFit(e.name)) return AppendAnalyzeLog(JoinPath(e.mirror, e.name), kLogNameTooLong);
  g_defOutputDir = e.mirror;
  ClearDefineTable();
  PreprocessSourceFile(e.path);
}

}  // namespace

// The tree is listed first, then its files are preprocessed at once on the
// work threads (ordered_work.h), their effects in walk order.
int PreprocessTree(const std::string& mask, const std::string& folder) {
  const std::string root = g_defOutputDir;
  std::vector<WalkEntry> entries;
  const bool listed = ListTree(mask, folder, root, entries);
  const size_t done = RunInOrder(
      entries.size(),
      [&](size_t i) {
        PreprocessEntry(entries[i]);
        return true;
      },
      &g_abortRequested);
  g_defOutputDir = root;
  return listed && done == entries.size() ? 0 : 1;
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
