// Record fixtures for the record-pass tests: texts are written in UTF-8 with
// "\n" and stored as CP932 with CR LF, as the passes read and write them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "run/run_state.h"
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

inline std::string LogUtf8() { return ToUtf8(ReadBytes("AnalyzeLog.txt")); }

// The log line of a file or folder search that could not be opened.
inline std::string NotOpenLine(const std::string& path) {
  return "プログラム解析 " + path + " : FILE NOT OPEN\r\n";
}

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
