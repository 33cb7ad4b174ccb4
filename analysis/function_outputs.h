// The files of one analysed function, all below the work folder:
//
//   func_als/<f>        the per-function record: ten sections, each a tag
//                       line, its entries and an empty line ("NONE" when empty)
//   HTML/<f>.html       the source page, one line without newlines (named by
//                       SourcePageName: top.html is the report's, for one)
//   SOURCE/<f>          "[SOURCE]", the head tokens, then the body as read
//   SOURCE2/<f>         one line of used names per statement reset
//   FILEINFO/INF_<file> three counts appended per function
//
// A function's four files are written anew: a later function of the same
// name replaces them whole.
#pragma once

#include <string>
#include <vector>

#include "analysis/function_body.h"
#include "platform/text_file.h"

namespace vandrel {

// Indentation of the source page by brace depth: entry n (0 to 10) is 4 x n
// ideographic spaces, entries 11 to 19 are empty.
extern const std::vector<std::string> g_indentTable;
// The table's entry, or "" for a depth outside it.
const std::string& IndentFor(int depth);

// The result rows of a body; every entry ends with "\n".
struct ResultRows {
  std::vector<std::string> temporaries;
  std::vector<std::string> callees;
  std::vector<std::string> reads;
  std::vector<std::string> writes;
  std::vector<std::string> returnValues;
};

struct LineCounts {
  int lines = 0;       // lines read after the one with the body's "{"
  int validLines = 0;  // lines that reached a token other than a comment, "\", "{" or "}"
  int comments = 0;    // whole comments + comment starts + lines read inside a block comment
};

struct FunctionFiles {
  TextFile record;     // func_als/<f>
  TextFile page;       // HTML/<f>.html
  TextFile source;     // SOURCE/<f>
  TextFile usedNames;  // SOURCE2/<f>

  // Creates the folders and opens the four files of `name` from their start,
  // replacing what they held; false when one cannot be opened.
  bool Open(const std::string& name);
  // Page and source heads: head tokens 0 .. headLast.
  void WriteHeads(const std::vector<std::string>& headTokens, int headLast);
  // Sections 1 to 4 of the record, without the empty line closing section 4.
  void WriteRecordHead(const WalkState& state, const std::string& name);
  // Writes g_usedNameTable as one line when it holds names, and empties it.
  void FlushUsedNames();
  // The empty line closing section 4 and sections 5 to 10.
  void WriteResultSections(const ResultRows& rows);
  // "}" on the page and the source copy; closes the four files.
  void Finish();
};

// Appends the three counts to FILEINFO/INF_<fileName>; skipped silently when
// the file cannot be opened.
void AppendFunctionCounts(const std::string& fileName, const LineCounts& counts);

// The callee page check: writes "Not Found Function" into the callee's
// source page when that page does not exist yet; returns the link that
// follows the call's closing parenthesis on the caller's page.
std::string CheckCalleePage(const std::string& name);

}  // namespace vandrel
