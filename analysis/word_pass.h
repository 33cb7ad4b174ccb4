// Step 4, per preprocessed source file: cuts the file into file-level
// statements and writes, under ./vcwk012345,
//   F_<file>               prototype and global declaration lines of the file
//   FuncList_ProtType.txt  prototype lines of the run
//   FuncList_Body.txt      head lines of the function definitions of the run
//   ValList.txt            global declaration lines without "extern"
//   FILEINFO/INF_<file>    "[DOM]", folder, "[FILENAME]", file, then per
//                          definition "[FUNCNAME]" and its name
// A statement line is its tokens joined by TABs; a head line is the tokens
// before the body's "{", each followed by a TAB. Every function body is
// handed to AnalyzeFunctionBody, which reads it from the same open file.
// Files of the same name in different folders share F_ and INF_, one after
// the other.
#pragma once

#include <string>

namespace vandrel {

void WordAlsFuncltion(std::string path);

}  // namespace vandrel
