#include "pipeline/written_vars_pass.h"

#include <vector>

#include "analysis/body_texts.h"
#include "pipeline/record_io.h"
#include "platform/ordered_work.h"
#include "pipeline/texts.h"
#include "reader/string_table.h"
#include "run/analysis_log.h"
#include "run/work_folder.h"

namespace vandrel {

StepResult WriteWrittenVariableList() {
  StringTable table;
  const std::string pattern = WorkPath("FunctionList4/*.*");
  bool found = false;
  StepResult r = WalkFolderFiles(pattern, found, [&](const FolderEntry& e) {
    std::vector<std::string> lines, writes, all;
    if (!ReadLines(e.path, lines)) {
      AppendAnalyzeLog(e.path, "FILE NOT OPEN\n");
      return true;
    }
    for (size_t from = 0; NextSection(lines, kTagWrites, /*noneEnds=*/true, from, writes);)
      all.insert(all.end(), writes.begin(), writes.end());
    AtCommit([&table, all = std::move(all)] {
      for (const std::string& w : all) IndexOfOrAddName(w, table);
    });
    return true;
  });
  if (!found) ReportFolderNotFound(pattern, kMsgStep4NotOpen);
  if (r != StepResult::Done) return r;

  std::string text;
  for (int i = 0; i < CountTable(table); ++i) AddLine(text, table.At(i));
  AddLine(text, kNameSentinel);
  AddLine(text, "");
  WriteNewFile(WorkPath("ValList2.txt"), text);
  return StepResult::Done;
}

}  // namespace vandrel
