// Small work folders for the commands on the last run's results: final
// records and text files written by the test, in CP932 with CR LF.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "run/work_area.h"
#include "test_support.h"

// A namespace of their own: other test headers have helpers of the same names.
namespace vandrel::test::commands {

// Boxes end the command by throwing, as a failing routine would.
class ThrowingHost : public RecordingHost {
 public:
  int MessageBox(const std::string& text, const std::string& caption, MessageButtons b) override {
    RecordingHost::MessageBox(text, caption, b);
    throw std::runtime_error("box");
  }
};

// UTF-8 text with "\n" -> CP932 with CR LF.
inline std::string Crlf(const std::string& utf8) {
  std::string sj = ToCp932(utf8), out;
  for (char c : sj) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

inline void WriteText(const std::string& path, const std::string& utf8) { WriteBytes(path, Crlf(utf8)); }

// A file of the work folder read back as UTF-8 with "\n".
inline std::string ReadText(const std::string& path) {
  std::string bytes = ReadBytes(path), folded;
  for (size_t i = 0; i < bytes.size(); ++i)
    if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) folded += bytes[i];
  return ToUtf8(folded);
}

using Section = std::pair<std::string, std::vector<std::string>>;

// A final record: each section its tag, its entries and one empty line.
inline std::string RecordText(const std::vector<Section>& sections) {
  std::string text;
  for (const auto& [tag, entries] : sections) {
    text += tag + "\n";
    for (const std::string& e : entries) text += e + "\n";
    text += "\n";
  }
  return text;
}

// The mark with which a completed run leaves its work folder.
inline void MarkRunCompleted() { WriteBytes(kCompletionMarkPath, ""); }

inline void WriteRecord(const std::string& function, const std::vector<Section>& sections) {
  WriteText("vcwk012345/FunctionList4/" + function, RecordText(sections));
}

// A record with only its calls (entries of "[コール関数]") and its accesses.
inline void WriteCalls(const std::string& function, const std::vector<std::string>& calls,
                       const std::vector<std::string>& accesses = {}) {
  WriteRecord(function, {{"[関数名称]", {function}},
                         {"[コール関数]", calls.empty() ? std::vector<std::string>{"NONE"} : calls},
                         {"[変数アクセス情報]", accesses}});
}

}  // namespace vandrel::test::commands
