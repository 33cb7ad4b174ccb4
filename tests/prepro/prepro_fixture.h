// A fresh work folder for the preprocessor: DEF, DEF/TMP and the mirror
// folder of a source folder "src", a recording host, memory factor 1.
#pragma once

#include <filesystem>
#include <string>

#include "platform/file_ops.h"
#include "platform/text_file.h"
#include "prepro/define_table.h"
#include "prepro/file_prepro.h"
#include "prepro/header_list.h"
#include "prepro/prepro_walk.h"
#include "run/run_state.h"
#include "run/work_folder.h"
#include "test_support.h"

namespace vandrel::test {

class PreproTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    std::filesystem::create_directories("vcwk012345/DEF/TMP");
    std::filesystem::create_directories("vcwk012345/DEF/src");
    g_defOutputDir = WorkPath("DEF/src");
    g_memoryFactor = 1;
    g_abortRequested = 0;
    g_progressTotal = 0;
    g_progressDone = 0;
    g_preproFileTitle = "t";
    ClearDefineTable();
  }
  void TearDown() override {
    ClearDefineTable();
    g_memoryFactor = 1;
    TempDirTest::TearDown();
  }

  // Writes a source file (text with "\n" line ends, stored as CR LF).
  static void Source(const std::string& path, const std::string& text) {
    WriteBytes(path, Crlf(text));
  }
  // The bytes of a work file, CR LF folded back to "\n".
  static std::string Work(const std::string& relative) {
    std::string text;
    ReadTextFile(WorkPath(relative), text);
    return text;
  }
  // Steps 1 and 2 as the driver runs them over "src".
  static void RunSteps() {
    TextFile(WorkPath("DEF/Header_List.txt"), TextFile::Mode::Write).Close();
    BuildHeaderList("*.*", "src");
    g_defineCount = 0;
    PreprocessTree("*.*", "src");
  }
  // The log, as UTF-8 with "\n" line ends.
  static std::string Log() {
    std::string text;
    ReadTextFile("AnalyzeLog.txt", text);
    return ToUtf8(text);
  }
  // The log without the line that notes parentheses that never close (the
  // fixtures of long conditions leave them open on purpose).
  static std::string LogWithoutOpenParens() {
    std::string kept, log = Log();
    for (size_t pos = 0; pos < log.size();) {
      size_t end = log.find('\n', pos);
      end = end == std::string::npos ? log.size() : end + 1;
      std::string line = log.substr(pos, end - pos);
      if (line.find(" : 閉じない ( ") == std::string::npos) kept += line;
      pos = end;
    }
    return kept;
  }

  RecordingHost host;
};

}  // namespace vandrel::test
