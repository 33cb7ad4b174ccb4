// The file preprocessor: one source or header file copied line by line
// without its switched-off lines, its includes preprocessed on their own.
#pragma once

#include <string>

#include "platform/text_file.h"
#include "reader/lexer.h"

namespace vandrel {

// The file a block reads from and writes to.
struct PreproFile {
  std::string path;  // as given; the base of its includes
  std::string name;  // file name with extension
  TextFile in;
  TextFile out;
};

// Mode 1: a file of the source tree, written to the mirror folder; mode 0:
// an included file, appended to its copy in DEF/TMP.
void PreprocessFile(std::string path, int mode);

// #ifdef and #ifndef blocks: consume the lines up to the block's #endif and
// write the active ones.
void ProcessIfdefBlock(std::string name, PreproFile& file, int enclosingActive);
void ProcessIfndefBlock(std::string name, PreproFile& file, int enclosingActive);

// The lines of a block whose state is `active`, up to its #endif, nested
// blocks included (at any depth). An #if block writes its #include lines as
// their tokens joined by TAB.
void RunConditionalBlock(int active, int enclosingActive, PreproFile& file, bool ifBlock);

}  // namespace vandrel
