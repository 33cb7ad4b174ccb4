// The statement machine over one function body.
#pragma once

#include <string>
#include <vector>

#include "platform/text_file.h"
#include "reader/lexer.h"

namespace vandrel {

// What the word pass knows of the function whose body starts.
struct WalkState {
  int nameTokenIndex = 0;      // index of the function name in the head tokens
  int bodyOpen = 0;            // 1 once the body's "{" was seen
  int argumentCount = 0;       // valid entries of `arguments`
  int reserved = 0;
  std::string sourcePath;
  std::string fileName;        // written under "[ファイル名]"; names the INF_ file
  std::string folderName;      // written under "[フォルダ名]"
  std::vector<std::string> arguments;  // one parameter declaration per entry
  int headLastTokenIndex = 0;  // index of the body's "{" in the head tokens
};

// Reads the body from `source` (positioned after the line that holds the
// "{") and the rest of `line`, up to the closing brace, and writes the
// per-function files (analysis/function_outputs.h). 1 after a body was
// analysed (also after a logged exception); 255 when an output file cannot
// be opened or the name cannot name a file. In every case the body is read
// up to its closing brace: `line` then holds what follows that brace.
int AnalyzeFunctionBody(TextFile& source, std::vector<std::string>& headTokens, LineBuffer& line,
                        std::string sourcePath, WalkState state);

}  // namespace vandrel
