// The analysis log ./AnalyzeLog.txt and its four writers. Each opens the
// log (created when missing, never truncated), writes at its end and closes
// it again; none reports failure.
//
//   WriteTimestampedLog      label " : " yy.mm.dd HH:MM:SS "\n"
//   AppendAnalyzeLog         "プログラム解析 " label " : " text      (no line end added)
//   AppendAnalyzeLogEntry    name " : " number " : " text1 " : " text2 "\n"
//   AppendPreproLog          "プリプロ解析 " title " : " message    (no line end added)
//
// A file whose writes were lost (TextFile::Close) is logged as
// "プログラム解析 " path " : FILE WRITE FAIL".
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace vandrel {

extern const std::string kAnalyzeLogPath;  // "./AnalyzeLog.txt"
extern const char* const kLogTimeFormat;    // yy.mm.dd HH:MM:SS

// The kind of a line whose text varies from one to the next (a line number,
// a value): lines of one kind count as repeats of the first. A line written
// without one is of the kind of its whole text.
struct LogKind {
  const std::string& name;
};

void WriteTimestampedLog(std::string label);
void AppendAnalyzeLog(std::string label, std::string text);
void AppendAnalyzeLogEntry(std::string name, int number, std::string text1, std::string text2);
void AppendAnalyzeLogEntry(LogKind kind, std::string name, int number, std::string text1, std::string text2);
void AppendPreproLog(std::string title, std::string message);
void AppendPreproLog(LogKind kind, std::string title, std::string message);

// " ほかN行": how many more lines of a kind there were.
std::string MoreLinesNote(long long more);

// The lines of one step, file or function. While a group is open, the lines
// that its thread writes are held; when it closes, each kind is written
// once, in the order the kinds came: its first line, with MoreLinesNote
// before the line end when more lines of the kind came. A group opened
// inside another hands its lines to the outer one as they are, so each inner
// group keeps a line per kind of its own (per function within per file).
class LogGroup {
 public:
  LogGroup();
  ~LogGroup();
  LogGroup(const LogGroup&) = delete;
  LogGroup& operator=(const LogGroup&) = delete;

  // Holds a line of the kind; false when no group is open on this thread.
  static bool Hold(const std::string& kind, const std::string& text);

 private:
  struct Held {
    std::string text;
    long long more = 0;
  };
  static std::string Text(const Held& h);
  static void HandOver(const std::vector<std::string>& texts);

  LogGroup* outer_;
  std::vector<Held> lines_;
  std::unordered_map<std::string, size_t> kinds_;  // kind -> index in lines_
};

}  // namespace vandrel
