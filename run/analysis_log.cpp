#include "run/analysis_log.h"

#include <mutex>

#include "platform/clock.h"
#include "platform/text_file.h"
#include "run/texts.h"

namespace vandrel {

const std::string kAnalyzeLogPath = "./AnalyzeLog.txt";
const char* const kLogTimeFormat = "%y.%m.%d %H:%M:%S";

namespace {

std::mutex g_logMutex;

void AppendToLog(const std::string& text) {
  std::lock_guard<std::mutex> lock(g_logMutex);
  TextFile log;
  if (!log.Open(kAnalyzeLogPath, TextFile::Mode::Append)) return;
  log.Write(text);
  log.Close();
}

// Every file whose writes were lost becomes one line; the log's own lost
// lines can only be counted.
void LogLostWrite(const std::string& path) {
  if (path != kAnalyzeLogPath) AppendAnalyzeLog(path, "FILE WRITE FAIL\n");
}

[[maybe_unused]] const bool g_lostWritesLogged = (SetLostWriteHandler(LogLostWrite), true);

}  // namespace

void WriteTimestampedLog(std::string label) {
  AppendToLog(label + " : " + FormatLocalTime(kLogTimeFormat) + "\n");
}

void AppendAnalyzeLog(std::string label, std::string text) {
  AppendToLog(kLogAnalysisPrefix + label + " : " + text);
}

void AppendAnalyzeLogEntry(std::string name, int number, std::string text1, std::string text2) {
  AppendToLog(name + " : " + std::to_string(number) + " : " + text1 + " : " + text2 + "\n");
}

void AppendPreproLog(std::string title, std::string message) {
  AppendToLog(kLogPreproPrefix + title + " : " + message);
}

}  // namespace vandrel
