#include "run/analysis_log.h"

#include <mutex>

#include "platform/clock.h"
#include "platform/ordered_work.h"
#include "platform/text_file.h"
#include "platform/work_store.h"
#include "run/texts.h"

namespace vandrel {

const std::string kAnalyzeLogPath = "./AnalyzeLog.txt";
const char* const kLogTimeFormat = "%y.%m.%d %H:%M:%S";

namespace {

std::mutex g_logMutex;
thread_local LogGroup* t_openGroup = nullptr;

// While the work folder is kept, a line waits until the files written before
// it are on the disk, so that a file whose writes were lost is logged where
// one thread would have logged it.
void WriteToLog(const std::string& text) {
  work_store::AfterChangesSoFar([text] {
    std::lock_guard<std::mutex> lock(g_logMutex);
    TextFile log;
    if (!log.Open(kAnalyzeLogPath, TextFile::Mode::Append)) return;
    log.Write(text);
    log.Close();
  });
}

// An item running ahead writes at its commit, into the group open there
// (the step's), as one thread would.
void AppendToLog(const std::string& kind, const std::string& text) {
  // A write lost behind the run is reported where its loss stands in the
  // log, whatever group is open on the thread that reports it.
  if (!work_store::RunningActions() && LogGroup::Hold(kind, text)) return;
  if (CurrentItem()) return AtCommit([kind, text] { AppendToLog(kind, text); });
  WriteToLog(text);
}

void AppendToLog(const std::string& text) { AppendToLog(text, text); }

// Every file whose writes were lost becomes one line; the log's own lost
// lines can only be counted.
void LogLostWrite(const std::string& path) {
  if (path != kAnalyzeLogPath) AppendAnalyzeLog(path, "FILE WRITE FAIL\n");
}

[[maybe_unused]] const bool g_lostWritesLogged = (SetLostWriteHandler(LogLostWrite), true);

std::string EntryText(const std::string& name, int number, const std::string& text1, const std::string& text2) {
  return name + " : " + std::to_string(number) + " : " + text1 + " : " + text2 + "\n";
}

}  // namespace

void WriteTimestampedLog(std::string label) {
  AppendToLog(label + " : " + FormatLocalTime(kLogTimeFormat) + "\n");
}

void AppendAnalyzeLog(std::string label, std::string text) {
  AppendToLog(kLogAnalysisPrefix + label + " : " + text);
}

void AppendAnalyzeLogEntry(std::string name, int number, std::string text1, std::string text2) {
  AppendToLog(EntryText(name, number, text1, text2));
}

void AppendAnalyzeLogEntry(LogKind kind, std::string name, int number, std::string text1, std::string text2) {
  AppendToLog(kind.name, EntryText(name, number, text1, text2));
}

void AppendPreproLog(std::string title, std::string message) {
  AppendToLog(kLogPreproPrefix + title + " : " + message);
}

void AppendPreproLog(LogKind kind, std::string title, std::string message) {
  AppendToLog(kind.name, kLogPreproPrefix + title + " : " + message);
}

std::string MoreLinesNote(long long more) {
  return kLogMoreLinesBefore + std::to_string(more) + kLogMoreLinesAfter;
}

LogGroup::LogGroup() : outer_(t_openGroup) { t_openGroup = this; }

LogGroup::~LogGroup() {
  t_openGroup = outer_;
  try {
    std::vector<std::string> texts;
    for (const Held& h : lines_) texts.push_back(h.more ? Text(h) : h.text);
    if (outer_)
      for (std::string& t : texts) outer_->lines_.push_back({std::move(t), 0});
    else if (!texts.empty() && CurrentItem())
      AtCommit([texts] { HandOver(texts); });  // into the group open at the commit
    else
      HandOver(texts);
  } catch (...) {
    // A log that cannot be written loses its lines, as it does outside a group.
  }
}

// The lines of a closed outermost group: to the group open on this thread
// as they are, or to the log.
void LogGroup::HandOver(const std::vector<std::string>& texts) {
  if (LogGroup* open = t_openGroup) {
    for (const std::string& t : texts) open->lines_.push_back({t, 0});
    return;
  }
  std::string all;
  for (const std::string& t : texts) all += t;
  if (!all.empty()) WriteToLog(all);
}

bool LogGroup::Hold(const std::string& kind, const std::string& text) {
  LogGroup* g = t_openGroup;
  if (!g) return false;
  auto [it, added] = g->kinds_.try_emplace(kind, g->lines_.size());
  if (added)
    g->lines_.push_back({text, 0});
  else
    ++g->lines_[it->second].more;
  return true;
}

// The first line with the note before its line end.
std::string LogGroup::Text(const Held& h) {
  const bool lineEnd = !h.text.empty() && h.text.back() == '\n';
  std::string text = lineEnd ? h.text.substr(0, h.text.size() - 1) : h.text;
  return text + MoreLinesNote(h.more) + (lineEnd ? "\n" : "");
}

}  // namespace vandrel
