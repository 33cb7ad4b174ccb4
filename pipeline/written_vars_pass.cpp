#include "pipeline/written_vars_pass.h"

#include <algorithm>
#include <vector>

#include "analysis/body_texts.h"
#include "pipeline/analysis_log.h"
#include "pipeline/record_io.h"
#include "pipeline/run_state.h"
#include "pipeline/texts.h"
#include "pipeline/work_folder.h"
#include "reader/string_table.h"

namespace vandrel {
namespace {

// The table starts with g_memoryFactor x 5000 slots and doubles when a new
// name would fill its last slot, so no written variable is lost.
void AddWrittenVariable(StringTable& table, const std::string& name) {
  if (table.Count() + 1 >= static_cast<int>(table.Slots()) && table.Find(name) < 0)
    table = StringTable(std::max<size_t>(2 * table.Slots(), 2), table.Names());
  IndexOfOrAddName(name, table);
}

}  // namespace

StepResult WriteWrittenVariableList() {
  StringTable table(static_cast<size_t>(std::max(g_memoryFactor.load(), 1)) * 5000);
  const std::string pattern = WorkPath("FunctionList4/*.*");
  bool found = false;
  std::vector<std::string> lines, writes;
  StepResult r = WalkFolderFiles(pattern, found, [&](const FolderEntry& e) {
    if (!ReadLines(e.path, lines)) {
      AppendAnalyzeLog(e.path, "FILE NOT OPEN\n");
      return true;
    }
    for (size_t from = 0; NextSection(lines, kTagWrites, /*noneEnds=*/true, from, writes);)
      for (const std::string& w : writes) AddWrittenVariable(table, w);
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
