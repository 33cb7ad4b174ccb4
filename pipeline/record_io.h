// Reading and writing the per-function records and walking the work folders
// of the record passes.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "run/step_result.h"

namespace vandrel {

// The lines of a text file without their line ends; false when it cannot be
// opened.
bool ReadLines(const std::string& path, std::vector<std::string>& lines);

// Appends the line and "\n".
inline void AddLine(std::string& out, std::string_view line) {
  out.append(line);
  out += '\n';
}

// Creates the file without truncating it and writes `text` from its start;
// false, with an analysis log line, when it cannot be created.
bool WriteNewFile(const std::string& path, std::string_view text);

// A folder search that found nothing: "FILE NOT OPEN" under the pattern, then
// the box (caption "終了") when `boxText` is not empty.
void ReportFolderNotFound(const std::string& pattern, const std::string& boxText);

struct FolderEntry {
  std::string name;  // the file name
  std::string path;  // folder + "/" + name
};

// The files of a folder search in scan order ("." "..", and folders
// skipped); false when the search found nothing.
bool ListFolderFiles(const std::string& pattern, std::vector<FolderEntry>& files);

// Visits the files in order. The abort flag is tested before each file; its
// name is shown as the status detail before `visit`, which returns false to
// end the walk. Visits run ahead on the work threads (ordered_work.h): what a
// visit leaves for the next it leaves with AtCommit.
StepResult VisitFiles(const std::vector<FolderEntry>& files,
                      const std::function<bool(const FolderEntry&)>& visit);

// ListFolderFiles and VisitFiles; `found` is false when the search found nothing.
StepResult WalkFolderFiles(const std::string& pattern, bool& found,
                           const std::function<bool(const FolderEntry&)>& visit);

// Turns the lines of one record into the text of its successor; false ends
// the step after this record.
using RecordTransform = std::function<bool(const std::vector<std::string>& in, std::string& out)>;

// Creates the folder `to`, then writes every file of the folder `from` through
// `transform` into `to` under the same name. An empty folder is reported with
// `notFoundBox` (no box when empty); a file that cannot be read or created is
// skipped with an analysis log line.
StepResult TransformRecordFolder(const std::string& from, const std::string& to,
                                 const std::string& notFoundBox, const RecordTransform& transform);

// The entries of the next section `tag` from line `from` on: the lines after
// the tag line up to an empty line (or a "NONE" line when `noneEnds`) or the
// end. `from` moves past what was read; false when no tag line follows.
bool NextSection(const std::vector<std::string>& lines, const std::string& tag, bool noneEnds,
                 size_t& from, std::vector<std::string>& entries);

}  // namespace vandrel
