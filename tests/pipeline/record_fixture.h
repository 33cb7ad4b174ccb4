// Record fixtures for the record-pass tests: texts are written in UTF-8 with
// "\n" and stored as CP932 with CR LF, as the passes read and write them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "pipeline/run_state.h"
#include "reader/lexer.h"
#include "reader/splitters.h"
#include "test_support.h"

namespace vandrel::test {

// UTF-8 text with "\n" -> CP932 bytes with CR LF.
inline std::string DiskText(const std::string& utf8) {
  std::string cp = Sj(utf8.c_str()), out;
  for (char c : cp) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// Writes a work file (path below ./vcwk012345).
inline void PutWorkFile(const std::string& relative, const std::string& utf8) {
  WriteBytes(std::filesystem::path("vcwk012345") / Sj(relative.c_str()), DiskText(utf8));
}

// A work file as UTF-8 with "\n"; a line end that is not CR LF fails the test.
inline std::string GetWorkFile(const std::string& relative) {
  std::filesystem::path p = std::filesystem::path("vcwk012345") / Sj(relative.c_str());
  EXPECT_TRUE(std::filesystem::exists(p)) << relative;
  std::string raw = ReadBytes(p), folded;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
    if (raw[i] == '\n' && (i == 0 || raw[i - 1] != '\r')) ADD_FAILURE() << "bare LF in " << relative;
    folded += raw[i];
  }
  return ToUtf8(folded);
}

inline bool WorkFileExists(const std::string& relative) {
  return std::filesystem::exists(std::filesystem::path("vcwk012345") / Sj(relative.c_str()));
}

inline std::string LogText() { return ToUtf8(ReadBytes("AnalyzeLog.txt")); }

// The log line of a file or folder search that could not be opened.
inline std::string NotOpenLine(const std::string& path) {
  return "プログラム解析 " + path + " : FILE NOT OPEN\r\n";
}

// The lexer and the splitters come from the reader; until they are built the
// tests that need them are skipped.
inline bool LexerBuilt() {
  LineBuffer b("ab cd");
  return NextRawToken(b) == "ab";
}
inline bool SplittersBuilt() {
  std::string type, name, sub = "a[i]";
  ParseDeclaration("int\tx\t;", type, name);
  StripSubscripts(sub);
  return name == "x" && sub == "a[]";
}
#define SKIP_WITHOUT_LEXER() \
  if (!::vandrel::test::LexerBuilt()) GTEST_SKIP() << "the reader's lexer is not built yet"
#define SKIP_WITHOUT_SPLITTERS() \
  if (!::vandrel::test::SplittersBuilt()) GTEST_SKIP() << "the reader's splitters are not built yet"

// A fresh work folder per test, a recording host and a clean run state.
class RecordPassTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    std::filesystem::create_directories("vcwk012345");
    g_abortRequested = 0;
    g_lineCounter = 0;
    g_memoryFactor = 1;
    g_runParameters.m_includeLocals = 0;
  }
  void TearDown() override {
    g_abortRequested = 0;
    g_runParameters.m_includeLocals = 0;
    TempDirTest::TearDown();
  }
  std::vector<std::string> Boxes() const {
    std::vector<std::string> t;
    for (const auto& b : host.boxes) t.push_back(ToUtf8(b.text));
    return t;
  }
  RecordingHost host;
};

}  // namespace vandrel::test
