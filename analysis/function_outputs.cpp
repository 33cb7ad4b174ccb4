#include "analysis/function_outputs.h"

#include "analysis/access_setters.h"
#include "analysis/body_texts.h"
#include "analysis/source_page.h"
#include "platform/file_ops.h"
#include "platform/html_text.h"
#include "run/work_folder.h"

namespace vandrel {
namespace {

std::vector<std::string> BuildIndentTable() {
  std::vector<std::string> table(20);
  for (int n = 0; n <= 10; ++n)
    for (int i = 0; i < 4 * n; ++i) table[n] += "\x81\x40";  // U+3000 in CP932
  return table;
}

void WriteSection(TextFile& file, const std::string& tag, const std::string* entries, size_t count) {
  file.Write(tag + "\n");
  if (count == 0) file.Write(kNoEntry + "\n");
  for (size_t i = 0; i < count; ++i) file.Write(entries[i]);
  file.Write("\n");
}

void WriteSection(TextFile& file, const std::string& tag, const std::vector<std::string>& rows) {
  WriteSection(file, tag, rows.data(), rows.size());
}

}  // namespace

const std::vector<std::string> g_indentTable = BuildIndentTable();

const std::string& IndentFor(int depth) {
  static const std::string kNone;
  if (depth < 0 || depth >= static_cast<int>(g_indentTable.size())) return kNone;
  return g_indentTable[depth];
}

bool FunctionFiles::Open(const std::string& name) {
  MakeDirectory(kWorkDir);
  for (const char* folder : {"func_als", "HTML", "SOURCE", "SOURCE2"}) MakeDirectory(WorkPath(folder));
  return record.Open(WorkPath("func_als/" + name), TextFile::Mode::Truncate) &&
         page.Open(SourcePagePathToWrite(name), TextFile::Mode::Truncate) &&
         source.Open(WorkPath("SOURCE/" + name), TextFile::Mode::Truncate) &&
         usedNames.Open(WorkPath("SOURCE2/" + name), TextFile::Mode::Truncate);
}

void FunctionFiles::WriteHeads(const std::vector<std::string>& headTokens, int headLast) {
  page.Write(kPageHead);
  source.Write(kSourceHead + "\n");
  for (int i = 0; i <= headLast; ++i) {
    const std::string& token = headTokens.at(static_cast<size_t>(i));
    page.Write(EscapeHtml(token));
    page.Write(kIdeographicSpace);
    source.Write(token);
    source.Write(" ");
  }
  page.Write(kPageLineBreak);
  source.Write("\n");
}

void FunctionFiles::WriteRecordHead(const WalkState& state, const std::string& name) {
  record.Write(kTagFolderName + "\n" + state.folderName + "\n\n");
  record.Write(kTagFileName + "\n" + state.fileName + "\n\n");
  record.Write(kTagFunctionName + "\n" + name + "\n\n");
  record.Write(kTagArguments + "\n");
  size_t count = std::min(static_cast<size_t>(std::max(state.argumentCount, 0)), state.arguments.size());
  if (count == 0) record.Write("void\n");
  for (size_t i = 0; i < count; ++i) record.Write(state.arguments[i] + "\n");
}

void FunctionFiles::FlushUsedNames() {
  if (g_usedNameCount == 0) return;
  for (int i = 0; i < g_usedNameCount; ++i) usedNames.Write(g_usedNameTable[i]);
  usedNames.Write("\n");
  g_usedNameCount = 0;
}

void FunctionFiles::WriteResultSections(const ResultRows& rows) {
  record.Write("\n");
  WriteSection(record, kTagTemporaries, rows.temporaries);
  WriteSection(record, kTagCallees, rows.callees);
  WriteSection(record, kTagReads, rows.reads);
  WriteSection(record, kTagWrites, rows.writes);
  WriteSection(record, kTagReturnValues, rows.returnValues);
  WriteSection(record, kTagAccesses, g_unityValTable.data(), static_cast<size_t>(g_unityValCount));
}

void FunctionFiles::Finish() {
  page.Write("}");
  source.Write("}");
  record.Close();
  page.Close();
  source.Close();
  usedNames.Close();
}

void AppendFunctionCounts(const std::string& fileName, const LineCounts& counts) {
  TextFile info;
  if (!info.Open(WorkPath("FILEINFO/INF_" + fileName), TextFile::Mode::Append)) return;
  info.Write(kTagLineCount + "\n" + std::to_string(counts.lines) + "\n");
  info.Write(kTagValidLineCount + "\n" + std::to_string(counts.validLines) + "\n");
  info.Write(kTagCommentCount + "\n" + std::to_string(counts.comments) + "\n");
}

std::string CheckCalleePage(const std::string& name) {
  if (IsUsableFileName(name)) {
    WriteIfAbsent(WorkPath("HTML/" + SourcePageName(name)), kCalleePlaceholder);
  }
  return "<A href= " + SourcePageName(name) + ">" + kCalleeLinkMark + "</A>";
}

}  // namespace vandrel
