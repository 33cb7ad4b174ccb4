#include "commands/variable_command.h"

#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

#include "analysis/source_page.h"
#include "commands/query_frame.h"
#include "commands/texts.h"
#include "platform/cp932.h"
#include "platform/dir_scan.h"
#include "platform/file_ops.h"
#include "platform/html_text.h"
#include "platform/os_path.h"
#include "platform/text_file.h"
#include "reports/call_tree_writer.h"
#include "reports/texts.h"
#include "run/analysis_log.h"
#include "run/run_state.h"
#include "run/work_area.h"
#include "run/work_folder.h"

namespace vandrel {

std::string g_chosenVariableName;
std::string g_variableTreePath;
int g_ramAccessCount = 0;
int g_ramReadCount = 0;
int g_ramWriteCount = 0;

namespace {

// The access entries of each record that hold the key "<v> ", found once per record.
class MatchingAccesses {
 public:
  MatchingAccesses(CallRecordCache& records, std::string key) : records_(records), key_(std::move(key)) {}
  // Null when there is no record of that name that could be read.
  const std::vector<std::string>* Of(const std::string& name) {
    auto it = matches_.find(name);
    if (it != matches_.end()) return it->second.readable ? &it->second.entries : nullptr;
    const CallRecord* r = records_.Find(name);
    Match& m = matches_[name];
    m.readable = r && r->readable;
    if (m.readable)
      for (const std::string& e : r->accesses)
        if (MbContains(e, key_)) m.entries.push_back(e);
    return m.readable ? &m.entries : nullptr;
  }

 private:
  struct Match {
    bool readable = false;
    std::vector<std::string> entries;
  };
  CallRecordCache& records_;
  const std::string key_;
  std::unordered_map<std::string, Match> matches_;
};

// Phase 1: the access list and its totals.
void ListAccesses(DirScan& scan, bool more, CallRecordCache& records, MatchingAccesses& matching) {
  TextFile text, html;
  if (!text.Open(g_commandTreeTextPath, TextFile::Mode::Append)) return;
  if (!html.Open(g_commandTreeHtmlPath, TextFile::Mode::Append)) return;
  text.Write("\n");
  html.Write("<BR>\n");
  while (more) {
    if (g_abortRequested.load() == 1) break;
    more = scan.FindNextFile();
    if (scan.IsDots() || scan.IsDirectory()) continue;
    const std::string function = scan.GetFileName();
    SetStatusDetail(function);
    const std::vector<std::string>* entries = matching.Of(function);
    if (!entries) throw std::runtime_error("record cannot be opened");
    if (entries->empty()) continue;
    text.Write(function + "\n");
    html.Write("<A href= ..\\" + SourcePageName(function) + ">" + EscapeHtml(function) + "</A><BR>\n");
    for (const std::string& e : *entries) {
      ++g_ramAccessCount;
      ++(MbContains(e, "[R]") ? g_ramReadCount : g_ramWriteCount);
      text.Write("\t" + e + "\n");
      html.Write(kAccessIndent + EscapeHtml(e) + "<BR>\n");
    }
    if (!records.Find(function)->accessesEndAtFileEnd) {
      text.Write("\n");
      html.Write("<BR>\n");
    }
  }
  scan.Close();
  text.Write(kAccessTotalHead + std::to_string(g_ramAccessCount) + kAccessTotalTail + "   [R]   " +
             std::to_string(g_ramReadCount) + kAccessKindTail + "   [W]   " + std::to_string(g_ramWriteCount) +
             kAccessKindTail);
}

// Removes every piece; returns how many there were.
int RemoveAll(std::string& line, const std::string& piece) {
  int count = 0;
  std::string out;
  for (size_t pos = 0;;) {
    size_t at = line.find(piece, pos);
    out.append(line, pos, at == std::string::npos ? std::string::npos : at - pos);
    if (at == std::string::npos) break;
    ++count;
    pos = at + piece.size();
  }
  line.swap(out);
  return count;
}

// Phase 2: the whole-program call tree with the entries under each function.
// Its lines spend the run's budget of call-tree lines as those of
// call_tree_ram.txt do; once it is spent, a function whose entries stand
// under an earlier line gets its tree line alone.
void AnnotateCallTree(MatchingAccesses& matching) {
  TextFile tree, out;
  if (!tree.Open(JoinPath(g_callTreeDirPath, "call_tree.txt"), TextFile::Mode::Read)) return;
  if (!out.Open(g_variableTreePath, TextFile::Mode::Append)) return;
  long lines = 0;
  bool compact = false;
  std::unordered_set<std::string> annotated;
  std::string line;
  while (tree.ReadLine(line)) {
    out.Write(line + "\n");
    ++lines;
    int depth = RemoveAll(line, "\t|");
    RemoveAll(line, "--");
    const std::vector<std::string>* entries = matching.Of(line);
    if (!entries || entries->empty()) continue;
    if (!annotated.insert(line).second && compact) continue;
    for (const std::string& e : *entries) out.Write(std::string(depth + 2, '\t') + kAccessMark + e + "\n");
    lines += static_cast<long>(entries->size());
    if (!compact && lines >= g_callTreeLimits.linesPerRun) {
      compact = true;
      AppendAnalyzeLogEntry(g_chosenVariableName, static_cast<int>(lines), kTreeCompactLabel,
                            kVariableTreeCompact);
    }
  }
}

void Analyse(const std::string& pattern, const std::string& folder) {
  g_ramAccessCount = g_ramReadCount = g_ramWriteCount = 0;
  DirScan scan;
  bool more = scan.FindFile(JoinPath(folder, pattern));
  if (!more) return;
  CallRecordCache records(folder);
  MatchingAccesses matching(records, g_chosenVariableName + " ");
  ListAccesses(scan, more, records, matching);
  AnnotateCallTree(matching);
}

bool RunVariableAnalysis(const QueryRequest& request) {
  g_callTreeDepth = 0;
  g_lineCounter = 0;
  const std::string name = StartQuery(request, kListPromptVariable);
  if (name.empty() || !IsUsableFileName(name)) return false;
  g_chosenVariableName = name;
  SetStatusText(name + kStatusVariableRunning);

  const std::string stamp = MakeRunStamp(name);
  g_runFolderPath = JoinPath(WorkPath("RAM_D"), stamp);
  MakeDirectory(WorkPath("RAM_D"));
  MakeDirectory(g_runFolderPath);
  const std::string listName = "Ram_" + name + ".txt", treeName = "Ram_" + name + "Tree.txt";
  g_commandTreeTextPath = JoinPath(g_runFolderPath, listName);
  g_commandTreeHtmlPath = JoinPath(g_runFolderPath, "Ram_" + name + ".html");
  g_variableTreePath = JoinPath(g_runFolderPath, treeName);
  if (!AppendToFile(g_commandTreeTextPath, "")) return false;
  if (!WriteQueryIndex(JoinPath(g_runFolderPath, "index.html"), listName, treeName)) return false;
  if (!AppendToFile(g_commandTreeHtmlPath, QueryPageHead(name, true))) return false;

  SearchFile_RamAls_Btn8_DirectRAM("*.*", QueryRecordFolder());

  if (!AppendToFile(g_commandTreeHtmlPath, kQueryPageFoot)) return false;
  SetStatusText(name + kStatusVariableDone);
  bool copied = CopyRunFolder(request.outputFolder);
  ShowEndBox(name + kStatusVariableDone);
  OpenRunIndex(request.outputFolder, stamp);
  return copied;
}

}  // namespace

void SearchFile_RamAls_Btn8_DirectRAM(std::string pattern, std::string folder) {
  try {
    Analyse(pattern, folder);
  } catch (...) {
    AppendAnalyzeLogEntry("SearchFile_RamAls_Btn8_DirectRAM", 0, kLogVariableAnalysis, "-");
  }
}

bool OnButton8(const QueryRequest& request) {
  FileLock lock;
  if (!LockWorkArea(lock)) return false;
  LogGroup lines;  // one line per kind for the variable's tree
  try {
    return RunVariableAnalysis(request);
  } catch (...) {
    AppendAnalyzeLogEntry("OnButton8", 0, kLogOnButton8, "-");
    return false;
  }
}

}  // namespace vandrel
