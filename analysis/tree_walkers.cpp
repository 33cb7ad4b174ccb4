#include "analysis/tree_walkers.h"

#include "analysis/file_texts.h"
#include "analysis/typedef_pass.h"
#include "analysis/word_pass.h"
#include "platform/dir_scan.h"
#include "platform/os_path.h"
#include "prepro/header_list.h"
#include "run/analysis_log.h"
#include "run/run_state.h"

namespace vandrel {
namespace {

// What tells the two walkers apart.
struct Walker {
  void (*pass)(std::string path);
  std::string& trace1;
  std::string& trace2;
  bool showsFolders;  // the status detail shows folders too, as they are entered
  std::string logText1, logText2;  // the exception entry
};

void Walk(const Walker& w, const std::string& pattern, const std::string& folder) {
  try {
    w.trace1 = "start";
    w.trace2 = "start";
    DirScan scan;
    bool more = scan.FindFile(JoinPath(folder, pattern));
    while (more) {
      if (g_abortRequested.load() == 1) break;
      more = scan.FindNextFile();
      if (scan.IsDots()) continue;
      const std::string& name = scan.GetFileName();
      std::string path = JoinPath(folder, name);
      if (w.showsFolders) SetStatusDetail(name);
      if (scan.IsDirectory()) {
        Walk(w, pattern, path);
        continue;
      }
      if (!w.showsFolders) SetStatusDetail(name);
      std::string title, extension;
      SplitFileName(name, title, extension);
      g_currentSourceFile = title;
      if (IsSourceExtension(extension)) w.pass(path);
    }
    scan.Close();
  } catch (...) {
    AppendAnalyzeLogEntry(g_currentSourceFile, 0, w.logText1, w.logText2);
  }
}

}  // namespace

void SearchFile_DefineAls(std::string pattern, std::string folder) {
  const Walker w{ExtractTypeDefinitions, g_defineWalkTrace1, g_defineWalkTrace2, true,
                        "FILE OPEN ERROR", "-"};
  Walk(w, pattern, folder);
}

void SearchFile_WordAls(std::string pattern, std::string folder) {
  const Walker w{WordAlsFuncltion, g_wordWalkTrace1, g_wordWalkTrace2, false,
                        "SearchFile_WordAls", kLogWordWalkException};
  Walk(w, pattern, folder);
}

}  // namespace vandrel
