#include "commands/function_tree_command.h"

#include "analysis/source_page.h"
#include "commands/query_frame.h"
#include "commands/texts.h"
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

std::string g_chosenFunctionName;

namespace {

// One tree being drawn: the records read so far, the budget and compact
// form of a root of the whole-program tree, and the two output files (opened
// at their first line, kept open).
struct FunctionTreeDrawing {
  explicit FunctionTreeDrawing(const std::string& folder) : records(folder), budget(g_callTreeLimits, records) {}

  // Opens the file for append unless it is open already.
  static bool Ready(TextFile& file, const std::string& path) {
    return file.IsOpen() || file.Open(path, TextFile::Mode::Append);
  }

  CallRecordCache records;
  CallTreeBudget budget;
  TextFile text, html;
};

// The HTML tree indents the root by no group.
std::string HtmlIndent(int depth) { return CallTreeIndent(depth - 1); }

void DrawFunction(const std::string& name, FunctionTreeDrawing& t);

// The tree lines of one function and, below it, its callees.
void DrawFunctionLines(const std::string& name, FunctionTreeDrawing& t) {
  const int depth = g_callTreeDepth.load();
  const CallRecord* record = t.records.Find(name);
  if (!record || !record->readable) {
    t.budget.CountLine();
    if (!FunctionTreeDrawing::Ready(t.text, g_commandTreeTextPath)) return;
    t.text.Write(CallTreeTextLine(depth, name, false));
    if (!FunctionTreeDrawing::Ready(t.html, g_commandTreeHtmlPath)) return;
    t.html.Write("<font size='2'>" + HtmlIndent(depth) + "--" + EscapeHtml(name) + kTreeNoRecord +
                 "</font><BR>\n");
    return;
  }
  if (!FunctionTreeDrawing::Ready(t.text, g_commandTreeTextPath)) {
    ShowEndBox(kMsgTreeTextNotOpen);
    return;
  }
  t.text.Write(CallTreeTextLine(depth, name, true));
  t.budget.CountLine();
  if (!FunctionTreeDrawing::Ready(t.html, g_commandTreeHtmlPath)) return;
  t.html.Write("<font size='2'>" + HtmlIndent(depth) + "--</font><A href= ..\\" + SourcePageName(name) +
               " target='_blank'>" + EscapeHtml(name) + "</A><BR>\n");
  if (!t.budget.Expand(name, depth)) return;

  for (const std::string& callee : record->callees) {
    if (++g_callTreeDepth > kMaxCallTreeDepth) {
      t.budget.CountLine();
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
    ShowEndBox(kMsgNoFunction);
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
  drawing.budget.BeginRoot(name);
  DrawFunction(name, drawing);
}

bool OnButton7(const QueryRequest& request) {
  FileLock lock;
  if (!LockWorkArea(lock)) return false;
  LogGroup lines;  // one line per kind for the tree
  try {
    return RunFunctionTree(request);
  } catch (...) {
    AppendAnalyzeLogEntry("OnButton7", 0, kLogOnButton7, "-");
    return false;
  }
}

}  // namespace vandrel
