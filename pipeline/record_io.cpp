#include "pipeline/record_io.h"

#include "platform/dir_scan.h"
#include "platform/file_ops.h"
#include "platform/host.h"
#include "platform/ordered_work.h"
#include "platform/os_path.h"
#include "platform/text_file.h"
#include "run/analysis_log.h"
#include "run/run_state.h"
#include "run/texts.h"

namespace vandrel {

bool ReadLines(const std::string& path, std::vector<std::string>& lines) {
  lines.clear();
  std::string text;
  if (!ReadTextFile(path, text)) return false;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    lines.emplace_back(text, pos, end - pos);
    pos = end + 1;
  }
  return true;
}

bool WriteNewFile(const std::string& path, std::string_view text) {
  TextFile out;
  if (!out.Open(path, TextFile::Mode::Write)) {
    AppendAnalyzeLog(path, "FILE CREATE FAIL\n");
    return false;
  }
  out.Write(text);
  return out.Close();
}

void ReportFolderNotFound(const std::string& pattern, const std::string& boxText) {
  AppendAnalyzeLog(pattern, "FILE NOT OPEN\n");
  if (!boxText.empty()) CurrentHost().MessageBox(boxText, kCaptionEnd, MessageButtons::Ok);
}

bool ListFolderFiles(const std::string& pattern, std::vector<FolderEntry>& files) {
  files.clear();
  DirScan scan;
  bool more = scan.FindFile(pattern);
  const bool found = more;
  while (more) {
    more = scan.FindNextFile();
    if (scan.IsDots() || scan.IsDirectory()) continue;
    files.push_back({scan.GetFileName(), scan.GetFilePath()});
  }
  return found;
}

StepResult VisitFiles(const std::vector<FolderEntry>& files,
                      const std::function<bool(const FolderEntry&)>& visit) {
  bool ended = false;  // by a visit
  const size_t done = RunInOrder(
      files.size(),
      [&](size_t i) {
        SetStatusDetail(files[i].name);
        if (visit(files[i])) return true;
        AtCommit([&ended] { ended = true; });
        return false;
      },
      &g_abortRequested);
  return done < files.size() && !ended ? StepResult::Aborted : StepResult::Done;
}

StepResult WalkFolderFiles(const std::string& pattern, bool& found,
                           const std::function<bool(const FolderEntry&)>& visit) {
  std::vector<FolderEntry> files;
  found = ListFolderFiles(pattern, files);
  return VisitFiles(files, visit);
}

StepResult TransformRecordFolder(const std::string& from, const std::string& to,
                                 const std::string& notFoundBox, const RecordTransform& transform) {
  MakeDirectory(to);
  const std::string pattern = JoinPath(from, "*.*");
  bool found = false;
  StepResult r = WalkFolderFiles(pattern, found, [&](const FolderEntry& e) {
    std::vector<std::string> lines;
    if (!ReadLines(e.path, lines)) {
      AppendAnalyzeLog(e.path, "FILE NOT OPEN\n");
      return true;
    }
    std::string out;
    bool goOn = transform(lines, out);
    WriteNewFile(JoinPath(to, e.name), out);
    return goOn;
  });
  if (!found) ReportFolderNotFound(pattern, notFoundBox);
  return r;
}

bool NextSection(const std::vector<std::string>& lines, const std::string& tag, bool noneEnds,
                 size_t& from, std::vector<std::string>& entries) {
  entries.clear();
  while (from < lines.size() && lines[from] != tag) ++from;
  if (from >= lines.size()) return false;
  for (++from; from < lines.size(); ++from) {
    const std::string& line = lines[from];
    if (line.empty() || (noneEnds && line == "NONE")) {
      ++from;
      break;
    }
    entries.push_back(line);
  }
  return true;
}

}  // namespace vandrel
