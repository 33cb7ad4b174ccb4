#include "analysis/tree_walkers.h"

#include <atomic>
#include <stdexcept>
#include <vector>

#include "analysis/file_texts.h"
#include "analysis/typedef_pass.h"
#include "analysis/word_pass.h"
#include "platform/dir_scan.h"
#include "platform/ordered_work.h"
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

// What the walk meets, in its order: a folder it enters, a file, or the
// failure of a listing (the catch-all's line).
struct WalkEntry {
  enum Kind { kFolder, kFile, kFailure } kind;
  std::string name, path;
  size_t levelEnd = 0;  // the first entry after the folder this one lies in
};

// Lists folder depth first in scan order; a failure ends its folder's listing.
bool ListTree(const Walker& w, const std::string& pattern, const std::string& folder,
              std::vector<WalkEntry>& entries) {
  const size_t first = entries.size();
  struct LevelEnd {
    std::vector<WalkEntry>& entries;
    size_t first;
    ~LevelEnd() {
      for (size_t i = first; i < entries.size(); ++i)
        if (entries[i].levelEnd == 0) entries[i].levelEnd = entries.size();
    }
  } levelEnd{entries, first};
  try {
    w.trace1 = "start";
    w.trace2 = "start";
    DirScan scan;
    bool more = scan.FindFile(JoinPath(folder, pattern));
    while (more) {
      if (g_abortRequested.load() == 1) return false;
      more = scan.FindNextFile();
      if (scan.IsDots()) continue;
      const std::string& name = scan.GetFileName();
      std::string path = JoinPath(folder, name);
      if (scan.IsDirectory()) {
        entries.push_back({WalkEntry::kFolder, name, path});
        if (!ListTree(w, pattern, path, entries)) return false;
        continue;
      }
      entries.push_back({WalkEntry::kFile, name, path});
    }
  } catch (...) {
    entries.push_back({WalkEntry::kFailure, {}, {}});
  }
  return true;
}

// The tree is listed first; its files then go through the pass at once on
// the work threads (ordered_work.h), their effects in walk order.
void Walk(const Walker& w, const std::string& pattern, const std::string& folder) {
  std::vector<WalkEntry> entries;
  ListTree(w, pattern, folder, entries);
  // A failure ends the level it happens in: the entries up to skipUntil go.
  std::atomic<size_t> skipUntil{0};
  RunInOrder(
      entries.size(),
      [&](size_t i) {
        const size_t skip = skipUntil.load();
        if (ItemContext* item = CurrentItem()) item->Check([&, skip] { return skipUntil.load() == skip; });
        if (i < skip) return true;
        const WalkEntry& e = entries[i];
        try {
          if (e.kind == WalkEntry::kFailure) throw std::runtime_error("listing");
          if (e.kind == WalkEntry::kFolder) {
            if (w.showsFolders) SetStatusDetail(e.name);
            return true;
          }
          SetStatusDetail(e.name);
          std::string title, extension;
          SplitFileName(e.name, title, extension);
          g_currentSourceFile = title;
          if (IsSourceExtension(extension)) w.pass(e.path);
        } catch (...) {
          AppendAnalyzeLogEntry(g_currentSourceFile, 0, w.logText1, w.logText2);
          AtCommit([&skipUntil, end = e.levelEnd] { skipUntil = end; });
        }
        return true;
      },
      &g_abortRequested);
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
