// Design information of one C source file:
//   FILEINFO/INF_<file> + FunctionList4/<function> + F_<base>.c/.h + FuncList_Body.txt
//     -> fileinfo2/INF_<file>
// with the sections "[DOM NAME]", "[BUHIN KOUSEI]" and the thirteen lists
// from "[FUNCTION_LIST]" to "[TEMP_VAL_LIST]".
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vandrel {

// Lines of a text file with a fast "last line holding name + TAB" (the
// multibyte-aware substring test, so a longer name that ends in the name
// counts as well).
class TabFieldIndex {
 public:
  explicit TabFieldIndex(std::vector<std::string> lines);
  // Index of the last such line, or -1.
  long LastLineWith(std::string_view name) const;
  const std::string& Line(long index) const { return lines_[index]; }

 private:
  std::vector<std::string> lines_;
  // Every ASCII suffix of a TAB-ended field, with the last line it ends a field in.
  std::vector<std::pair<std::string_view, long>> suffixes_;
};

// The files that the builder consults, each read once per command.
class DesignLookups {
 public:
  // Bit 0: a line of F_<base>.c holds name + TAB; bit 1: one of F_<base>.h
  // does. 1 when either copy cannot be opened. base: the source name less
  // its last two characters.
  int FindNameInSourceCopies(const std::string& sourceName, const std::string& name);
  // The last line of FuncList_Body.txt holding name + TAB, TABs turned into
  // blanks and ";" removed; the name itself when there is none.
  std::string LookupFunctionBody(const std::string& name);

 private:
  const TabFieldIndex* Copy(const std::string& path);
  std::map<std::string, std::unique_ptr<TabFieldIndex>> copies_;  // null: cannot be opened
};

// Writes (appends) fileinfo2/<name of infoPath>. False when a file could not
// be opened (after its box: "ファイル開けず", or "起動失敗" for a function
// without a record) or the output lost writes.
bool BuildFileInfoSummary(std::string infoPath);
bool BuildFileInfoSummary(std::string infoPath, DesignLookups& lookups);

// buf[i].len -> buf[].len, t[i][j].x -> t[][].x; a final "]" ends it (buf[i] stays).
std::string StripBracketText(std::string text);
// True when one of the declaration lines declares the name: the text after
// its last blank or TAB, cut at "[", equals the name cut at "[".
bool IsNameDeclared(const std::string& name, const std::vector<std::string>& declarations);

}  // namespace vandrel
