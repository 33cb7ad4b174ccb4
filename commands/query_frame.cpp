#include "commands/query_frame.h"

#include "commands/texts.h"
#include "platform/clock.h"
#include "platform/file_ops.h"
#include "platform/host.h"
#include "platform/html_text.h"
#include "platform/os_path.h"
#include "platform/text_file.h"
#include "reports/texts.h"
#include "run/run_state.h"
#include "run/texts.h"
#include "run/work_area.h"
#include "run/work_folder.h"

namespace vandrel {

std::string g_runFolderPath;
std::string g_commandTreeTextPath;
std::string g_commandTreeHtmlPath;

namespace {
const char kStampFormat[] = "%m%d%H%M%S";
}  // namespace

void ShowEndBox(const std::string& text) {
  CurrentHost().MessageBox(text, kCaptionEnd, MessageButtons::Ok);
}

std::string QueryRecordFolder() { return WorkPath("FunctionList4"); }

std::string StartQuery(const QueryRequest& request, const std::string& listPrompt) {
  if (request.typedName && request.typedText.empty()) {
    ShowEndBox(kMsgEnterName);
    return "";
  }
  if (!request.typedName && request.listText == listPrompt) {
    ShowEndBox(kMsgChooseFromList);
    return "";
  }
  g_runParameters.m_outputFolder = request.outputFolder;
  if (!IsDirectoryPath(QueryRecordFolder()) || !HasCompletionMark()) {
    ShowEndBox(kMsgNoResults);
    return "";
  }
  return request.typedName ? request.typedText : request.listText;
}

std::string MakeRunStamp(const std::string& name, const std::tm& time) {
  return FormatTime(kStampFormat, time) + "_" + name;
}

std::string MakeRunStamp(const std::string& name) { return FormatLocalTime(kStampFormat) + "_" + name; }

bool AppendToFile(const std::string& path, std::string_view text) {
  TextFile f;
  if (!f.Open(path, TextFile::Mode::Append)) return false;
  f.Write(text);
  return f.Close();
}

bool WriteQueryIndex(const std::string& path, const std::string& left, const std::string& right) {
  TextFile f;
  if (!f.Open(path, TextFile::Mode::Write)) return false;
  f.Write(kQueryIndexHead + "<frame name='mid' src='.\\" + left + "'><frame name='view' src='.\\" +
          right + "'></frameset>");
  return f.Close();
}

std::string QueryPageHead(const std::string& name, bool lineEndAfterBody) {
  return kQueryPageBody + (lineEndAfterBody ? "\n" : "") + EscapeHtml(name) + kQueryPageTitle;
}

std::string AbsoluteFromCurrent(const std::string& relative) {
  std::string_view rest = relative;
  if (rest.substr(0, 2) == "./") rest.remove_prefix(2);
  return JoinPath(CurrentDirectory(), rest);
}

bool CopyRunFolder(const std::string& outputFolder) {
  // Into an existing folder only: a missing one would become the copy itself.
  if (IsDirectoryPath(outputFolder) &&
      CopyFolderTo(AbsoluteFromCurrent(g_runFolderPath), outputFolder) == 1)
    return true;
  ShowEndBox(kMsgCopyFailed);
  return false;
}

void OpenRunIndex(const std::string& outputFolder, const std::string& stamp) {
  if (!CurrentHost().OpenDocument(JoinPath(JoinPath(outputFolder, stamp), "index.html")))
    ShowEndBox(kMsgOpenFailed);
}

}  // namespace vandrel
