#include "pipeline/access_list_pass.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "analysis/body_texts.h"
#include "pipeline/record_io.h"
#include "pipeline/texts.h"
#include "platform/cp932.h"
#include "platform/file_ops.h"
#include "platform/host.h"
#include "platform/ordered_work.h"
#include "platform/os_path.h"
#include "reader/name_suffix_index.h"
#include "reader/splitters.h"
#include "run/analysis_log.h"
#include "run/run_state.h"
#include "run/texts.h"
#include "run/work_folder.h"

namespace vandrel {
namespace {

// The "[変数アクセス情報]" entries of every record, read once, and for every
// variable name the entries that name it. An entry that holds "." names v
// when it contains v + "."; any other entry when it contains v + " [".
struct AccessIndex {
  struct Record {
    std::string name;
    std::vector<std::string> entries;
  };
  struct Hit {
    int record;
    int entry;
  };

  NameSuffixIndex names;
  std::vector<Record> records;
  std::vector<std::vector<Hit>> hits;  // per name id, in record and entry order

  // The names an entry names, each once, in the order found (reads the
  // index only, so records are matched at once).
  std::vector<int> NamesOf(const std::string& e) const {
    std::vector<int> ids;
    const bool member = MbContains(e, ".");
    const std::vector<bool> starts = CharacterStarts(e);
    for (size_t q = 0; q < e.size(); ++q) {
      bool end = member ? e[q] == '.' : (e[q] == ' ' && q + 1 < e.size() && e[q + 1] == '[');
      if (!end) continue;
      names.ForEachEndingAt(e, starts, q, [&](int id) {
        if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
      });
    }
    return ids;
  }
};

// The access list of one variable: its head, then per function with a match
// the function's name, its matching entries indented by four blanks, and an
// empty line.
std::string AccessListText(const AccessIndex& index, int nameId) {
  std::string text;
  AddLine(text, kAccessListHead);
  AddLine(text, "");
  const std::vector<AccessIndex::Hit>& hits = index.hits[nameId];
  for (size_t k = 0; k < hits.size(); ++k) {
    const AccessIndex::Record& r = index.records[hits[k].record];
    if (k == 0 || hits[k - 1].record != hits[k].record) AddLine(text, r.name);
    AddLine(text, "    " + r.entries[hits[k].entry]);
    if (k + 1 == hits.size() || hits[k + 1].record != hits[k].record) AddLine(text, "");
  }
  return text;
}

}  // namespace

StepResult WriteAccessLists() {
  const std::string folder = WorkPath("RAM_ALL");
  MakeDirectory(folder);
  std::vector<std::string> declarations;
  if (!ReadLines(WorkPath("ValList.txt"), declarations)) {
    AppendAnalyzeLog(WorkPath("ValList.txt"), "FILE NOT OPEN\n");
    return StepResult::Done;
  }

  AccessIndex index;
  std::vector<std::string> variables;
  std::vector<int> variableIds;
  for (const std::string& d : declarations) {
    std::string type, name;
    ParseDeclaration(d, type, name);
    variables.push_back(name);
    variableIds.push_back(index.names.Add(name));
  }
  index.hits.resize(index.names.Size());

  const std::string pattern = WorkPath("FunctionList4/*.*");
  std::vector<FolderEntry> files;
  const bool found = ListFolderFiles(pattern, files);
  int unreadable = 0;  // records that cannot be read: a box for each, per variable
  // The records are read and matched at once; their hits join in order.
  index.records.resize(files.size());
  const size_t read = RunInOrder(
      files.size(),
      [&](size_t r) {
        AccessIndex::Record& record = index.records[r];
        record.name = files[r].name;
        std::vector<std::string> lines;
        if (!ReadLines(files[r].path, lines)) {
          AppendAnalyzeLog(files[r].path, "FILE NOT OPEN\n");
          AtCommit([&unreadable] { ++unreadable; });
          return true;
        }
        size_t from = 0;
        NextSection(lines, kTagAccesses, /*noneEnds=*/false, from, record.entries);
        std::vector<std::pair<int, int>> named;  // name id, entry
        for (int e = 0; e < static_cast<int>(record.entries.size()); ++e)
          for (int id : index.NamesOf(record.entries[e])) named.emplace_back(id, e);
        AtCommit([&index, r, named = std::move(named)] {
          for (const auto& [id, e] : named) index.hits[id].push_back({static_cast<int>(r), e});
        });
        return true;
      },
      &g_abortRequested);
  if (read < files.size()) return StepResult::Aborted;

  // One file per declaration line: a name declared twice is written twice,
  // the same both times.
  const size_t written = RunInOrder(
      declarations.size(),
      [&](size_t i) {
        const std::string& v = variables[i];
        SetStatusDetail(v);
        if (!IsUsableFileName(v)) return true;
        if (!found) ReportFolderNotFound(pattern, kMsgFileOpenFailed);
        for (int k = 0; k < unreadable; ++k) CurrentHost().MessageBox(" ", kCaptionEnd, MessageButtons::Ok);
        WriteNewFile(JoinPath(folder, v), AccessListText(index, variableIds[i]));
        return true;
      },
      &g_abortRequested);
  return written < declarations.size() ? StepResult::Aborted : StepResult::Done;
}

}  // namespace vandrel
