// The access list setters: each turns a span of statement tokens into one
// line of a per-function result row and, for reads, writes and return
// values, one line of the unity access table.
//
// A span is tokens[start..end] joined without separators ("p" "->" "x"
// gives "p->x"); start above end gives "". Each setter assigns its slot
// (never appends to it), returns 1, and logs and swallows any exception.
#pragma once

#include <string>
#include <vector>

namespace vandrel {

// Unity access table: the accesses of the function being analysed, in the
// order recorded, each name + " [R]\n", " [w]\n" or " [RET]\n". Holds at most
// kUnityValSlots; the body analysis sets the count to 0 per function.
inline constexpr int kUnityValSlots = 5000;
// A write or return value recorded at or above this count is logged.
inline constexpr int kUnityValWriteLimit = 1999;
extern thread_local std::vector<std::string> g_unityValTable;
extern thread_local int g_unityValCount;

// Used-name table: the names and operator tokens of the current statement,
// written to SOURCE2 at every statement reset. Grows as needed.
extern thread_local std::vector<std::string> g_usedNameTable;
extern thread_local int g_usedNameCount;
void AddUsedName(const std::string& name);

// tokens[start..end] joined; throws std::out_of_range for a slot outside
// the array.
std::string SpanText(const std::vector<std::string>& tokens, int start, int end);

// Temporary: each type token + TAB, then the name span, then "\n".
int SetValList(std::string& slot, const std::vector<std::string>& tokens, int typeStart,
               int typeEnd, int nameStart, int nameEnd);
// Callee: span + "\n"; the span is also a used name.
int SetFuncList(std::string& slot, const std::vector<std::string>& tokens, int start, int end);
// Read: span + "\n"; span + " [R]\n" in the unity table; a used name.
int SetRValList(std::string& slot, const std::vector<std::string>& tokens, int start, int end);
// Write: span + "\n"; span + " [w]\n" in the unity table; a used name.
int SetWValList(std::string& slot, const std::vector<std::string>& tokens, int start, int end);
// Return value: span + "\n"; span + " [RET]\n" in the unity table.
int SetRetValList(std::string& slot, const std::vector<std::string>& tokens, int start, int end);

}  // namespace vandrel
