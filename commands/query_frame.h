// What the call-tree and variable commands share: the chosen name, the
// stamped run folder, the frame-set page, and the copy into the output
// folder with the opening of its index.html.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "commands/query_request.h"

namespace vandrel {

// The run folder of the last query command and its two output files.
extern std::string g_runFolderPath;
extern std::string g_commandTreeTextPath;
extern std::string g_commandTreeHtmlPath;

// The folder of the last run's final records.
std::string QueryRecordFolder();

// The checks at the start of a query: the name from the typed edit or the
// list, the output folder stored in the run parameters, the records of a
// completed run present (a run that did not end has no completion mark).
// "" after the box of the check that refused it ("入力してください",
// "リストから選択してください", "解析結果がありません").
std::string StartQuery(const QueryRequest& request, const std::string& listPrompt);

// "%m%d%H%M%S" of the time, "_" and the name: 1209095012_main.
std::string MakeRunStamp(const std::string& name, const std::tm& time);
std::string MakeRunStamp(const std::string& name);  // at the local time now

// Opens the file for append, writes the text, closes it; false when it
// cannot be opened.
bool AppendToFile(const std::string& path, std::string_view text);

// The one-line frame set of a run folder: left frame `left`, right frame `right`.
bool WriteQueryIndex(const std::string& path, const std::string& left, const std::string& right);

// The query page's head: body and font tags, then the name's title line.
std::string QueryPageHead(const std::string& name, bool lineEndAfterBody);

// The path below the current directory as an absolute path.
std::string AbsoluteFromCurrent(const std::string& relative);

// Copies the run folder into the output folder ("コピー失敗" when that
// fails or the output folder does not exist); true when it was copied.
bool CopyRunFolder(const std::string& outputFolder);
// Opens <output folder>/<stamp>/index.html ("起動失敗" when that fails).
void OpenRunIndex(const std::string& outputFolder, const std::string& stamp);

void ShowEndBox(const std::string& text);

}  // namespace vandrel
