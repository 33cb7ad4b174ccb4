// Final per-function records (FunctionList4) and lists written by the report tests.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "test_support.h"

namespace vandrel::test {

// One record; texts are UTF-8. `callers` unset: no "[コール元]" section;
// empty: "NONE_CALLER".
struct RecordSpec {
  std::string name;
  std::vector<std::string> calls = {};     // "[コール関数]" entries, e.g. "a(x)"
  std::vector<std::string> reads = {};     // "[参照変数]"
  std::vector<std::string> writes = {};    // "[書込み変数]"
  std::vector<std::string> accesses = {};  // "[変数アクセス情報]", e.g. "cnt [R]"
  std::optional<std::vector<std::string>> callers = std::vector<std::string>{};
};

inline std::string Section(const char* tag, const std::vector<std::string>& entries,
                           bool noneWhenEmpty = true) {
  std::string s = std::string(tag) + "\n";
  if (entries.empty() && noneWhenEmpty) s += "NONE\n";
  for (const std::string& e : entries) s += e + "\n";
  return s + "\n";
}

// The record text in the layout of the final records, CR LF line ends.
inline std::string RecordText(const RecordSpec& r) {
  std::string s = Section("[フォルダ名]", {"SRC"}) + Section("[ファイル名]", {"main.c"}) +
                  Section("[関数名称]", {r.name}) + Section("[引数定義]", {"void"}) +
                  Section("[テンポラリ変数]", {}) + Section("[コール関数]", r.calls) +
                  Section("[コール関数（定義あり）]", {}) + Section("[コール関数（定義なし）]", {}) +
                  Section("[マクロ関数]", {}) + Section("[参照変数]", r.reads) +
                  Section("[定義値]", {}) + Section("[書込み変数]", r.writes) +
                  Section("[戻り値]", {}) + Section("[変数アクセス情報]", r.accesses, false);
  if (r.callers) {
    s += "[コール元]\n";
    if (r.callers->empty()) s += "NONE_CALLER";
    for (const std::string& c : *r.callers) s += c + "\n";
    if (!r.callers->empty()) s += "\n";
  }
  std::string crlf;
  for (char c : ToCp932(s)) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  return crlf;
}

inline void WriteRecord(const RecordSpec& r) {
  WriteBytes("vcwk012345/FunctionList4/" + ToCp932(r.name), RecordText(r));
}

// A text file of the work folder from UTF-8 lines, CR LF after each.
inline void WriteWorkLines(const std::string& path, const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += ToCp932(l) + "\r\n";
  WriteBytes("vcwk012345/" + path, s);
}

// CP932 bytes of UTF-8 lines, each followed by CR LF.
inline std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += ToCp932(l) + "\r\n";
  return s;
}

}  // namespace vandrel::test
