#include "reports/function_tree_command.h"

#include <algorithm>
#include <unordered_map>

#include "pipeline/analysis_log.h"
#include "pipeline/run_state.h"
#include "pipeline/work_folder.h"
#include "platform/file_ops.h"
#include "platform/os_path.h"
#include "platform/text_file.h"
#include "reports/command_texts.h"
#include "reports/query_frame.h"
#include "reports/record_cache.h"

namespace vandrel {

std::string g_chosenFunctionName;

namespace {

constexpr int kMaxTreeDepth = 25;
// Lines of one tree before the compact form: past it a function that the
// tree has expanded already at the same depth or above gets its line but no
// subtree again, so every function within the depth limit still appears.
constexpr long kTreeLineBudget = 100000;

// One tree being drawn: the records read so far, the two output files
// (opened at their first line, kept open), the budget.
struct FunctionTreeDrawing {
  explicit FunctionTreeDrawing(const std::string& folder) : records(folder) {}

  // Opens the file for append unless it is open already.
  static bool Ready(TextFile& file, const std::string& path) {
    return file.IsOpen() || file.Open(path, TextFile::Mode::Append);
  }
  void CountLine() {
    if (++lines < kTreeLineBudget || compact) return;
    compact = true;
    AppendAnalyzeLogEntry("SearchFile_WordAls_Btn7_DirectFunc", static_cast<int>(lines), g_chosenFunctionName,
                          "COMPACT TREE");
  }
  // True when the function drawn at the depth is to be expanded.
  bool Expand(const std::string& name, int depth) {
    auto [it, first] = expandedAt.try_emplace(name, depth);
    if (first) return true;
    if (compact && it->second <= depth) return false;
    it->second = std::min(it->second, depth);
    return true;
  }

  RecordCache records;
  TextFile text, html;
  long lines = 0;
  bool compact = false;
  std::unordered_map<std::string, int> expandedAt;  // shallowest expansion per function
};

std::string HtmlIndent(int depth) {
  std::string s;
  for (int i = 0; i < depth; ++i) s += kIdeographicSpaces + "|";
  return s;
}

void DrawFunction(const std::string& name, FunctionTreeDrawing& t);

// The tree lines of one function and, below it, its callees.
void DrawFunctionLines(const std::string& name, FunctionTreeDrawing& t) {
  const int depth = g_callTreeDepth.load();
  std::string textIndent;
  for (int i = 0; i < depth; ++i) textIndent += "\t|";
  const CachedRecord& record = t.records.Get(name);
  if (!record.exists) {
    t.CountLine();
    if (!FunctionTreeDrawing::Ready(t.text, g_commandTreeTextPath)) return;
    t.text.Write(textIndent + "--" + name + "[non]\n");
    if (!FunctionTreeDrawing::Ready(t.html, g_commandTreeHtmlPath)) return;
    t.html.Write("<font size='2'>" + HtmlIndent(depth) + "--" + name + "[non]</font><BR>\n");
    return;
  }
  if (!FunctionTreeDrawing::Ready(t.text, g_commandTreeTextPath)) {
    ShowEndBox(kMsgTreeTextNotOpen);
    return;
  }
  t.text.Write(textIndent + "--" + name + "\n");
  t.CountLine();
  if (!FunctionTreeDrawing::Ready(t.html, g_commandTreeHtmlPath)) return;
  t.html.Write("<font size='2'>" + HtmlIndent(depth) + "--</font><A href= ..\\" + name +
               ".html target='_blank'>" + name + "</A><BR>\n");
  if (!t.Expand(name, depth)) return;

  // Records stay where they are while further ones are read.
  for (const std::string& callee : record.callees) {
    if (++g_callTreeDepth > kMaxTreeDepth) {
      t.CountLine();
      if (FunctionTreeDrawing::Ready(t.text, g_commandTreeTextPath)) t.text.Write(kIndentOverMarker + "\n");
      if (FunctionTreeDrawing::Ready(t.html, g_commandTreeHtmlPath)) t.html.Write(kIndentOverMarker + "<BR>\n");
      --g_callTreeDepth;
      return;
    }
    DrawFunction(callee, t);
    --g_callTreeDepth;
  }
}

void DrawFunction(const std::string& name, FunctionTreeDrawing& t) {
  const int depth = g_callTreeDepth.load();
  try {
    DrawFunctionLines(name, t);
  } catch (...) {
    g_callTreeDepth = depth;
    AppendAnalyzeLogEntry("SearchFile_WordAls_Btn7_DirectFunc", 0, kLogTreeWriter, "-");
  }
}

bool RunFunctionTree(const QueryRequest& request) {
  g_lineCounter = 0;
  g_callTreeDepth = 0;
  SetStatusText(kStatusCallTreeWriting);
  const std::string name = StartQuery(request, kListPromptFunction);
  if (name.empty()) return false;
  g_chosenFunctionName = name;
  const std::string records = QueryRecordFolder();
  if (!IsUsableFileName(name) || !PathExists(JoinPath(records, name))) {
    ShowEndBox(kMsgNoSuchFunction);
    return false;
  }

  const std::string stamp = MakeRunStamp(name);
  g_runFolderPath = JoinPath(g_callTreeDirPath, stamp);
  MakeDirectory(g_runFolderPath);
  const std::string textName = "call_tree_" + name + ".txt";
  g_commandTreeTextPath = JoinPath(g_runFolderPath, textName);
  g_commandTreeHtmlPath = JoinPath(g_runFolderPath, "call_tree_" + name + ".html");
  if (!AppendToFile(g_commandTreeTextPath, "")) return false;
  if (!AppendToFile(g_commandTreeHtmlPath, QueryPageHead(name, false))) return false;

  SearchFile_WordAls_Btn7_DirectFunc(name, records);

  if (!WriteQueryIndex(JoinPath(g_runFolderPath, "index.html"), name, textName)) return false;
  if (!AppendToFile(g_commandTreeHtmlPath, kQueryPageFoot)) return false;
  SetStatusText(kStatusCallTreeDone);

  bool copied = CopyFile(AbsoluteFromCurrent(JoinPath(records, name)),
                         AbsoluteFromCurrent(JoinPath(g_runFolderPath, name)), true);
  if (!copied) ShowEndBox(kMsgCopyFailed);
  copied = CopyRunFolder(request.outputFolder) && copied;
  SetStatusText(kStatusCallTreeDone);
  ShowEndBox(kMsgCallTreeDone);
  OpenRunIndex(request.outputFolder, stamp);
  return copied;
}

}  // namespace

void SearchFile_WordAls_Btn7_DirectFunc(std::string name, std::string folder) {
  FunctionTreeDrawing drawing(folder);
  DrawFunction(name, drawing);
}

bool OnButton7(const QueryRequest& request) {
  try {
    return RunFunctionTree(request);
  } catch (...) {
    AppendAnalyzeLogEntry("OnButton7", 0, kLogOnButton7, "-");
    return false;
  }
}

}  // namespace vandrel
