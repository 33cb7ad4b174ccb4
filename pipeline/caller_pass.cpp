#include "pipeline/caller_pass.h"

#include <unordered_set>
#include <vector>

#include "analysis/body_texts.h"
#include "pipeline/record_io.h"
#include "pipeline/texts.h"
#include "platform/file_ops.h"
#include "platform/host.h"
#include "platform/ordered_work.h"
#include "platform/text_file.h"
#include "reader/name_suffix_index.h"
#include "run/analysis_log.h"
#include "run/run_state.h"
#include "run/texts.h"
#include "run/work_folder.h"

namespace vandrel {
namespace {

// Record f is called by file C when a line of C's first "[コール関数]" section
// (up to an empty line or "NONE") contains f + "(" at a character start. One
// pass over every call section finds all pairs at once: each "(" of a line is
// the end of every name that the reversed trie finds before it.
struct CallerLists {
  NameSuffixIndex index;
  std::vector<std::vector<std::string>> callers;  // per name id, in the order found

  // The records that one caller file calls, each once, in the order found
  // (reads the index only).
  std::vector<int> CalledBy(const std::vector<std::string>& calls) const {
    std::vector<int> ids;
    std::unordered_set<int> seen;
    for (const std::string& call : calls) {
      std::vector<bool> starts;
      for (size_t q = 0; q < call.size(); ++q) {
        if (call[q] != '(') continue;
        if (starts.empty()) starts = CharacterStarts(call);
        index.ForEachEndingAt(call, starts, q, [&](int id) {
          if (seen.insert(id).second) ids.push_back(id);
        });
      }
    }
    return ids;
  }
};

}  // namespace

StepResult AppendCallerLists() {
  const std::string recordPattern = WorkPath("FunctionList4/*.*");
  std::vector<FolderEntry> records;
  if (!ListFolderFiles(recordPattern, records)) {
    ReportFolderNotFound(recordPattern, kMsgFunctionList4NotOpen);
    return StepResult::Done;
  }

  CallerLists lists;
  std::vector<int> recordIds;
  for (const FolderEntry& r : records) recordIds.push_back(lists.index.Add(r.name));
  lists.callers.resize(lists.index.Size());

  std::vector<FolderEntry> callerFiles;
  const bool callersFound = ListFolderFiles(WorkPath("func_als2/*.*"), callerFiles);
  // Each caller file is read ahead; its calls join the lists in file order.
  const size_t read = RunInOrder(
      callerFiles.size(),
      [&](size_t c) {
        std::vector<std::string> lines, calls;
        if (!ReadLines(callerFiles[c].path, lines)) {
          AppendAnalyzeLog(callerFiles[c].path, "FILE NOT OPEN\n");
          return true;
        }
        size_t from = 0;
        NextSection(lines, kTagCallees, /*noneEnds=*/true, from, calls);
        AtCommit([&lists, &callerFiles, c, ids = lists.CalledBy(calls)] {
          for (int id : ids) lists.callers[id].push_back(callerFiles[c].name);
        });
        return true;
      },
      &g_abortRequested);
  if (read < callerFiles.size()) return StepResult::Aborted;

  return VisitFiles(records, [&](const FolderEntry& r) {
    const std::vector<std::string>& callers = lists.callers[recordIds[&r - records.data()]];
    if (!callersFound) CurrentHost().MessageBox(kMsgFuncAls2NotOpen, kCaptionEnd, MessageButtons::Ok);
    TextFile out;
    if (!PathExists(r.path) || !out.Open(r.path, TextFile::Mode::Append)) {
      AppendAnalyzeLog(r.path, "FILE NOT OPEN\n");
      return true;
    }
    std::string text;
    AddLine(text, kTagCallers);
    if (callers.empty()) {
      text += "NONE_CALLER";  // the record ends here, without a line end
    } else {
      for (const std::string& name : callers) AddLine(text, name);
      AddLine(text, "");
    }
    out.Write(text);
    out.Close();
    return true;
  });
}

}  // namespace vandrel
