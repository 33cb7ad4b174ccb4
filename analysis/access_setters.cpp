#include "analysis/access_setters.h"

#include "analysis/body_texts.h"
#include "run/analysis_log.h"

namespace vandrel {

thread_local std::vector<std::string> g_unityValTable(kUnityValSlots);
thread_local int g_unityValCount = 0;
thread_local std::vector<std::string> g_usedNameTable;
thread_local int g_usedNameCount = 0;

namespace {

// Assigns span + "\n" to the slot; stores span + tag in the unity table
// when a tag is given (logging the overflow line from `logLimit` on: reads
// only when the table is full, writes and return values from 1999 on); and
// adds the span to the used names.
int SetSpan(const char* setter, const std::string& exceptionText, std::string& slot,
            const std::vector<std::string>& tokens, int start, int end, const char* tag,
            int logLimit, bool usedName) {
  try {
    std::string span = SpanText(tokens, start, end);
    slot = span + "\n";
    if (tag) {
      if (g_unityValCount >= logLimit) AppendAnalyzeLogEntry(setter, 0, kMsgUnityValOver, "-");
      if (g_unityValCount < kUnityValSlots) g_unityValTable[g_unityValCount++] = span + tag;
    }
    if (usedName) AddUsedName(span);
  } catch (...) {
    AppendAnalyzeLogEntry(setter, 0, exceptionText, "-");
  }
  return 1;
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
  return SetSpan("SetFuncList", kMsgSetFuncListException, slot, tokens, start, end, nullptr, 0, true);
}

int SetRValList(std::string& slot, const std::vector<std::string>& tokens, int start, int end) {
  return SetSpan("SetRValList", kMsgSetRValListException, slot, tokens, start, end, " [R]\n",
                 kUnityValSlots, true);
}

int SetWValList(std::string& slot, const std::vector<std::string>& tokens, int start, int end) {
  return SetSpan("SetWValList", kMsgSetWValListException, slot, tokens, start, end, " [w]\n",
                 kUnityValWriteLimit, true);
}

int SetRetValList(std::string& slot, const std::vector<std::string>& tokens, int start, int end) {
  return SetSpan("SetRetValList", kMsgSetRetValListException, slot, tokens, start, end, " [RET]\n",
                 kUnityValWriteLimit, false);
}

}  // namespace vandrel
