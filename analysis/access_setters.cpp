#include "analysis/access_setters.h"

#include "analysis/body_texts.h"
#include "pipeline/analysis_log.h"

namespace vandrel {

std::vector<std::string> g_unityValTable(kUnityValSlots);
int g_unityValCount = 0;
std::vector<std::string> g_usedNameTable;
int g_usedNameCount = 0;

namespace {

// Stores an access; `logLimit` is the count from which the setter logs the
// overflow line (reads only when the table is full, writes from 1999 on).
void RecordAccess(const char* setter, const std::string& span, const char* tag, int logLimit) {
  if (g_unityValCount >= logLimit) AppendAnalyzeLogEntry(setter, 0, kMsgUnityValOver, "-");
  if (g_unityValCount < kUnityValSlots) g_unityValTable[g_unityValCount++] = span + tag;
}

}  // namespace

void AddUsedName(const std::string& name) {
  if (g_usedNameCount < static_cast<int>(g_usedNameTable.size()))
    g_usedNameTable[g_usedNameCount] = name;
  else
    g_usedNameTable.push_back(name);
  ++g_usedNameCount;
}

std::string SpanText(const std::vector<std::string>& tokens, int start, int end) {
  std::string text;
  for (int i = start; i <= end; ++i) text += tokens.at(static_cast<size_t>(i));
  return text;
}

int SetValList(std::string& slot, const std::vector<std::string>& tokens, int typeStart,
               int typeEnd, int nameStart, int nameEnd) {
  try {
    std::string text;
    for (int i = typeStart; i <= typeEnd; ++i) text += tokens.at(static_cast<size_t>(i)) + "\t";
    slot = text + SpanText(tokens, nameStart, nameEnd) + "\n";
  } catch (...) {
    AppendAnalyzeLogEntry("SetValList", 0, kMsgSetValListException, "-");
  }
  return 1;
}

int SetFuncList(std::string& slot, const std::vector<std::string>& tokens, int start, int end) {
  try {
    std::string span = SpanText(tokens, start, end);
    slot = span + "\n";
    AddUsedName(span);
  } catch (...) {
    AppendAnalyzeLogEntry("SetFuncList", 0, kMsgSetFuncListException, "-");
  }
  return 1;
}

int SetRValList(std::string& slot, const std::vector<std::string>& tokens, int start, int end) {
  try {
    std::string span = SpanText(tokens, start, end);
    slot = span + "\n";
    RecordAccess("SetRValList", span, " [R]\n", kUnityValSlots);
    AddUsedName(span);
  } catch (...) {
    AppendAnalyzeLogEntry("SetRValList", 0, kMsgSetRValListException, "-");
  }
  return 1;
}

int SetWValList(std::string& slot, const std::vector<std::string>& tokens, int start, int end) {
  try {
    std::string span = SpanText(tokens, start, end);
    slot = span + "\n";
    RecordAccess("SetWValList", span, " [w]\n", kUnityValWriteLimit);
    AddUsedName(span);
  } catch (...) {
    AppendAnalyzeLogEntry("SetWValList", 0, kMsgSetWValListException, "-");
  }
  return 1;
}

int SetRetValList(std::string& slot, const std::vector<std::string>& tokens, int start, int end) {
  try {
    std::string span = SpanText(tokens, start, end);
    slot = span + "\n";
    RecordAccess("SetRetValList", span, " [RET]\n", kUnityValWriteLimit);
  } catch (...) {
    AppendAnalyzeLogEntry("SetRetValList", 0, kMsgSetRetValListException, "-");
  }
  return 1;
}

}  // namespace vandrel
