// Drives AnalyzeFunctionBody as the word pass does: a source file is opened,
// the head is read up to its "{", and the body is analysed from there.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/access_setters.h"
#include "analysis/function_body.h"
#include "platform/text_file.h"
#include "reader/lexer.h"
#include "reader/string_table.h"
#include "run/work_folder.h"
#include "test_support.h"

namespace vandrel::test {

struct BodyOutcome {
  int result = 0;
  std::vector<std::string> head;  // the head tokens handed over
  std::string restOfLine;         // what the line buffer holds afterwards
  std::string nextLine;           // the file's next line afterwards ("<EOF>" at its end)
};

struct HeadOptions {
  std::string fileName = "f.c";
  std::string folderName = "SRC";
  std::vector<std::string> arguments;  // argumentCount is their number
  int headLastTokenIndex = -1;         // -1: the slot of "{"
};

// Analyses the first function of `source` (CP932). The head is every token
// up to and including the first "{"; the name is the token before the first "(".
inline BodyOutcome AnalyzeSource(const std::string& source, const HeadOptions& options = {}) {
  WriteBytes("input.c", source);
  BodyOutcome outcome;
  TextFile file("input.c", TextFile::Mode::Read);
  LineBuffer line;
  std::string text;
  int nameIndex = -1;
  while (outcome.head.empty() || outcome.head.back() != "{") {
    int indent = 0;
    std::string token = NextRawTokenAlt(line, indent);
    if (IsBlankToken(token)) {
      if (!file.ReadLineRaw(text, 30000)) {
        ADD_FAILURE() << "no body in the source";
        return outcome;
      }
      line.Assign(text);
      continue;
    }
    if (token == "(" && nameIndex < 0) nameIndex = static_cast<int>(outcome.head.size()) - 1;
    outcome.head.push_back(token);
  }
  WalkState state;
  state.nameTokenIndex = nameIndex;
  state.bodyOpen = 1;
  state.sourcePath = "input.c";
  state.fileName = options.fileName;
  state.folderName = options.folderName;
  state.arguments = options.arguments;
  state.argumentCount = static_cast<int>(options.arguments.size());
  state.headLastTokenIndex = options.headLastTokenIndex >= 0
                                 ? options.headLastTokenIndex
                                 : static_cast<int>(outcome.head.size()) - 1;
  outcome.result = AnalyzeFunctionBody(file, outcome.head, line, "input.c", state);
  outcome.restOfLine = std::string(line.Rest());
  outcome.nextLine = file.ReadLineRaw(text, 30000) ? text : "<EOF>";
  return outcome;
}

inline std::string WorkFile(const std::string& relative) { return ReadBytes(WorkPath(relative)); }

inline std::string LogText() { return ReadBytes("AnalyzeLog.txt"); }

// A fresh work directory and the type names a run starts with.
class BodyTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    ResetTypeNameTable();
    g_unityValCount = 0;
    g_usedNameCount = 0;
  }
};

}  // namespace vandrel::test
