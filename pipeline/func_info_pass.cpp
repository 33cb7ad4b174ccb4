#include "pipeline/func_info_pass.h"

#include <vector>

#include "pipeline/record_io.h"
#include "pipeline/texts.h"
#include "platform/host.h"
#include "platform/text_file.h"
#include "run/analysis_log.h"
#include "run/texts.h"
#include "run/work_folder.h"

namespace vandrel {
namespace {

std::string ListPath() { return WorkPath("FILEINFO/FileFuncInfo.txt"); }

void ReportListFailure() {
  CurrentHost().MessageBox(kMsgFuncInfoCreateFailed, kCaptionEnd, MessageButtons::Ok);
}

// The rows of one information file:
//   "[FILENAME]" name                  -> "[ファイル名] " name
//   "[FUNCNAME]" name tag n1 tag n2 tag n3 -> "  " name TAB TAB n1 TAB n2 TAB n3
// then one empty line. Lines missing at the end count as empty.
std::string FunctionInfoRows(const std::vector<std::string>& in) {
  auto at = [&](size_t i) -> const std::string& {
    static const std::string empty;
    return i < in.size() ? in[i] : empty;
  };
  std::string out;
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] == "[FILENAME]") {
      AddLine(out, kFuncInfoFileRow + at(i + 1));
      i += 1;
    } else if (in[i] == "[FUNCNAME]") {
      AddLine(out, "  " + at(i + 1) + "\t\t" + at(i + 3) + "\t" + at(i + 5) + "\t" + at(i + 7));
      i += 7;
    }
  }
  AddLine(out, "");
  return out;
}

}  // namespace

void CreateFunctionInfoList() {
  std::string header;
  AddLine(header, kFuncInfoHeader);
  TextFile list;
  if (!list.Open(ListPath(), TextFile::Mode::Write)) return ReportListFailure();
  list.Write(header);
  list.Close();
}

StepResult WriteFunctionInfoList() {
  const std::string pattern = WorkPath("FILEINFO/*.c");
  bool found = false;
  StepResult r = WalkFolderFiles(pattern, found, [&](const FolderEntry& e) {
    std::vector<std::string> lines;
    TextFile list;
    if (!list.Open(ListPath(), TextFile::Mode::Append)) {
      ReportListFailure();
      return true;
    }
    if (!ReadLines(e.path, lines)) {
      AppendAnalyzeLog(e.path, "FILE NOT OPEN\n");
      return true;
    }
    list.Write(FunctionInfoRows(lines));
    list.Close();
    return true;
  });
  if (!found) CurrentHost().MessageBox(kMsgStep5NotOpen, kCaptionEnd, MessageButtons::Ok);
  return r;
}

}  // namespace vandrel
