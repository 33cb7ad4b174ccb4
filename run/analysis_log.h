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

namespace vandrel {

extern const std::string kAnalyzeLogPath;  // "./AnalyzeLog.txt"
extern const char* const kLogTimeFormat;    // yy.mm.dd HH:MM:SS

void WriteTimestampedLog(std::string label);
void AppendAnalyzeLog(std::string label, std::string text);
void AppendAnalyzeLogEntry(std::string name, int number, std::string text1, std::string text2);
void AppendPreproLog(std::string title, std::string message);

}  // namespace vandrel
