// Helpers of the file-level pass tests: a fresh work folder, the lines of a
// work file, and whether the reader's lexer is in place.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "platform/os_path.h"
#include "reader/lexer.h"
#include "reader/string_table.h"
#include "reader/type_name_guard.h"
#include "reader/vocabulary.h"
#include "run/run_state.h"
#include "test_support.h"

namespace vandrel::test {

// Lines of a CP932 file written with CR LF; a missing file has none.
inline std::vector<std::string> FileLines(const std::filesystem::path& path) {
  std::string bytes = ReadBytes(path);
  std::vector<std::string> lines;
  size_t from = 0;
  while (from < bytes.size()) {
    size_t end = bytes.find("\r\n", from);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(from));
      break;
    }
    lines.push_back(bytes.substr(from, end - from));
    from = end + 2;
  }
  return lines;
}

// The type names appended after the six base types.
inline std::vector<std::string> AddedTypeNames() {
  const auto& names = g_typeNameTable.Names();
  return std::vector<std::string>(names.begin() + std::min<size_t>(6, names.size()), names.end());
}

inline bool ReaderReady() {
  LineBuffer line("int x\n");
  int indentation = 0;
  return NextRawTokenAlt(line, indentation) == "int";
}

// A recording host whose status detail and message box can act (set the
// abort flag, throw) from inside a pass.
struct HookedHost : RecordingHost {
  void StatusDetail(const std::string& t) override {
    RecordingHost::StatusDetail(t);
    if (onDetail) onDetail(t);
  }
  int MessageBox(const std::string& text, const std::string& caption, MessageButtons b) override {
    int r = RecordingHost::MessageBox(text, caption, b);
    if (onBox) onBox(text);
    return r;
  }
  std::function<void(const std::string&)> onDetail;
  std::function<void(const std::string&)> onBox;
};

// A run's state before steps 3 and 4: the work folders, the base type
// names, a clean run state.
class WorkTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    for (const char* d : {"vcwk012345", "vcwk012345/DEF", "vcwk012345/FILEINFO"})
      std::filesystem::create_directories(d);
    ResetTypeNameTable();
    g_abortRequested = 0;
    g_lineCounter = 0;
    g_memoryFactor = 1;
    g_currentSourceFile = "";
  }
  void TearDown() override {
    g_abortRequested = 0;
    TempDirTest::TearDown();
  }

  // Writes a preprocessed source under src/ (CR LF line ends, as the
  // preprocessor writes them) and returns its path (CP932).
  std::string Source(const std::string& relative, const std::string& text) {
    std::string crlf;
    for (char c : text) {
      if (c == '\n') crlf += '\r';
      crlf += c;
    }
    WriteBytes(FsPath("src/" + relative), crlf);
    return "src/" + relative;
  }

  std::vector<std::string> Work(const std::string& relative) const {
    return FileLines("vcwk012345/" + relative);
  }

  std::string Log() const { return ReadBytes("AnalyzeLog.txt"); }

  TypeNameTableGuard typeNames;
  HookedHost host;
};

// For tests that need real token streams.
class PassTest : public WorkTest {
 protected:
  void SetUp() override {
    WorkTest::SetUp();
    if (!ReaderReady()) GTEST_SKIP() << "the lexer is not in place yet";
  }
};

}  // namespace vandrel::test
