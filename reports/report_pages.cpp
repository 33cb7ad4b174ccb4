#include "reports/report_pages.h"

#include <utility>
#include <vector>

#include "analysis/body_texts.h"
#include "analysis/source_page.h"
#include "platform/dir_scan.h"
#include "platform/file_ops.h"
#include "platform/host.h"
#include "platform/html_text.h"
#include "platform/ordered_work.h"
#include "platform/os_path.h"
#include "platform/text_file.h"
#include "reader/splitters.h"
#include "reports/texts.h"
#include "run/analysis_log.h"
#include "run/run_state.h"
#include "run/texts.h"
#include "run/work_folder.h"

namespace vandrel {
namespace {

void Box(const std::string& text) { CurrentHost().MessageBox(text, kCaptionEnd, MessageButtons::Ok); }

// A page written from its start (the work folder is new for each run).
bool WritePage(const std::string& path, const std::string& text) {
  TextFile f;
  if (!f.Open(path, TextFile::Mode::Write)) return false;
  f.Write(text);
  return f.Close();
}

// "<A href=" "javaScript:mysetFrame( 'url1','url2')" ">" name "</A><BR>\n"
std::string FrameLink(const std::string& url1, const std::string& url2, const std::string& name) {
  return "<A href=\"javaScript:mysetFrame( '" + url1 + "','" + url2 + "')\">" + EscapeHtml(name) +
         "</A><BR>\n";
}

// Funclist.html; a prototype without a body gets a stub record and page.
void WriteFunctionList() {
  const std::string page = WorkPath("HTML/Funclist.html");
  DeleteFile(page);
  TextFile list;
  if (!list.Open(WorkPath("FuncList_ProtType.txt"), TextFile::Mode::Read)) {
    AppendAnalyzeLog(page, kLogFileCreateFail);
    Box(kMsgNoFunctionList);
    return;
  }
  TextFile out;
  if (!out.Open(page, TextFile::Mode::Write)) {
    Box(kMsgFunctionListPageFailed);
    return;
  }
  out.Write(kListScriptHead + kFunctionListTitle);
  for (std::string line; list.ReadLine(line);) {
    std::string ret, name, params;
    SplitPrototype(line, ret, name, params);
    if (!IsUsableFileName(name)) continue;
    if (!PathExists(WorkPath("FunctionList4/" + name))) {
      WritePage(WorkPath("FunctionList4/" + name), kCalleePlaceholder);
      WritePage(SourcePagePathToWrite(name), kCalleePlaceholder);
    }
    out.Write(FrameLink("../FunctionList4/" + name, SourcePageName(name), name));
  }
}

void WriteVariableList() {
  const std::string page = WorkPath("HTML/ValList.html");
  DeleteFile(page);
  TextFile list;
  if (!list.Open(WorkPath("ValList.txt"), TextFile::Mode::Read)) {
    AppendAnalyzeLog(WorkPath("ValList.txt"), kLogFileNotOpen);
    Box(kMsgNoFunctionList);
    return;
  }
  TextFile out;
  if (!out.Open(page, TextFile::Mode::Write)) {
    AppendAnalyzeLog(page, kLogListCreateFail);
    Box(kMsgVariableListPageFailed);
    return;
  }
  out.Write(kListScriptHead + kVariableListTitle);
  for (std::string line; list.ReadLine(line);) {
    std::string type, name;
    ParseDeclaration(line, type, name);
    if (line.empty() || !IsUsableFileName(name)) continue;
    out.Write(FrameLink("../RAM/" + name, "./RAM/" + name + ".html", name));
  }
}

// HTML/DEF/<short>.html: every line of the definition file with "<BR>".
void WriteDefinitionPage(const std::string& datPath, const std::string& page) {
  TextFile in, out;
  if (!in.Open(datPath, TextFile::Mode::Read)) {
    AppendAnalyzeLog(datPath, kLogFileNotOpen);
    return;
  }
  if (!out.Open(page, TextFile::Mode::Write)) {
    AppendAnalyzeLog(page, kLogFileCreateFail);
    return;
  }
  for (std::string line; in.ReadLine(line);) out.Write(EscapeHtml(line) + "<BR>\n");
}

// DefList.html and one page per definition file "..DEF_..".
StepResult WriteDefinitionList() {
  MakeDirectory(WorkPath("HTML/DEF"));
  const std::string listPath = WorkPath("HTML/DefList.html");
  TextFile out;
  if (!out.Open(listPath, TextFile::Mode::Write)) {
    AppendAnalyzeLog(listPath, kLogFileCreateFail);
    return StepResult::Done;
  }
  out.Write(kDefinitionListTitle);
  const std::string pattern = WorkPath("DEF/*.dat");
  DirScan scan;
  bool more = scan.FindFile(pattern);
  if (!more) {
    AppendAnalyzeLog(pattern, kLogFileNotOpen);
    Box(kMsgNoDefinitionFile);
  }
  std::vector<std::pair<std::string, std::string>> files;  // name, path
  while (more) {
    more = scan.FindNextFile();
    if (!scan.IsDots() && !scan.IsDirectory()) files.emplace_back(scan.GetFileName(), scan.GetFilePath());
  }
  // The pages are made at once; the list's links go in in scan order.
  const size_t done = RunInOrder(
      files.size(),
      [&](size_t i) {
        const std::string& file = files[i].first;
        if (!MbContains(file, "DEF_")) return true;
        // Shorter than the definition file's name, so a file name as well.
        const std::string shortName = MbRemoveAll(MbRemoveAll(file, "DEF_"), ".dat");
        AtCommit([&out, link = "<A href= .\\DEF\\" + shortName + ".html target='view'>" + EscapeHtml(shortName) +
                               "</A><BR>\n"] { out.Write(link); });
        WriteDefinitionPage(files[i].second, WorkPath("HTML/DEF/" + shortName + ".html"));
        return true;
      },
      &g_abortRequested);
  return done < files.size() ? StepResult::Aborted : StepResult::Done;
}

}  // namespace

bool WriteTopPage() {
  const std::string page = WorkPath("HTML/top.html");
  // A program without function bodies has no HTML folder yet.
  MakeDirectory(WorkPath("HTML"));
  const std::string folder = EscapeHtml(g_runParameters.m_sourceFolder);
  if (WritePage(page, kTopPageHead + folder + kTopPageMenu)) return true;
  AppendAnalyzeLog(page, kLogFileNotOpen);
  Box(kMsgTopPageFailed);
  return false;
}

StepResult WriteReportPages() {
  MakeDirectory(g_callTreeDirPath);
  WriteFunctionList();
  WriteVariableList();
  if (StepResult r = WriteDefinitionList(); r != StepResult::Done) return r;
  WritePage(JoinPath(g_callTreeDirPath, "CallTree_index.html"), kTreeIndexHead);
  if (!WritePage(WorkPath("index.html"), kFrameSetPage) ||
      !WritePage(WorkPath("tarnibel.html"), kWelcomePage))
    return StepResult::Stopped;
  return StepResult::Done;
}

}  // namespace vandrel
