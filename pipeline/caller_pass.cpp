#include "pipeline/caller_pass.h"

#include <vector>

#include "analysis/body_texts.h"
#include "pipeline/record_io.h"
#include "pipeline/texts.h"
#include "platform/file_ops.h"
#include "platform/host.h"
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
  std::vector<int> lastCallerFile;                // per name id: guards "once per caller"

  void AddCallerFile(int fileNumber, const std::string& fileName,
                     const std::vector<std::string>& calls) {
    for (const std::string& call : calls) {
      std::vector<bool> starts;
      for (size_t q = 0; q < call.size(); ++q) {
        if (call[q] != '(') continue;
        if (starts.empty()) starts = CharacterStarts(call);
        index.ForEachEndingAt(call, starts, q, [&](int id) {
          if (lastCallerFile[id] == fileNumber) return;
          lastCallerFile[id] = fileNumber;
          callers[id].push_back(fileName);
        });
      }
    }
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
  lists.lastCallerFile.assign(lists.index.Size(), -1);

  std::vector<FolderEntry> callerFiles;
  const bool callersFound = ListFolderFiles(WorkPath("func_als2/*.*"), callerFiles);
  std::vector<std::string> lines, calls;
  for (size_t c = 0; c < callerFiles.size(); ++c) {
    if (g_abortRequested.load() == 1) return StepResult::Aborted;
    if (!ReadLines(callerFiles[c].path, lines)) {
      AppendAnalyzeLog(callerFiles[c].path, "FILE NOT OPEN\n");
      continue;
    }
    size_t from = 0;
    NextSection(lines, kTagCallees, /*noneEnds=*/true, from, calls);
    lists.AddCallerFile(static_cast<int>(c), callerFiles[c].name, calls);
  }

  size_t next = 0;
  return VisitFiles(records, [&](const FolderEntry& r) {
    const std::vector<std::string>& callers = lists.callers[recordIds[next++]];
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
