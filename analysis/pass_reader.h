// Line input of the two file-level passes (type definitions, words): lines
// of at most 29,999 bytes with their "\n" (a longer line comes in pieces),
// each counted in g_lineCounter, cut into tokens with NextRawTokenAlt.
#pragma once

#include <optional>
#include <string>

#include "platform/text_file.h"
#include "reader/lexer.h"

namespace vandrel {

constexpr size_t kPassLineBytes = 30000;

class PassReader {
 public:
  // `trace` receives every line that starts a statement or continues one.
  PassReader(TextFile& file, std::string& trace) : file_(file), trace_(trace) {}

  // Starts a fresh line: false at the end of the file.
  bool FreshLine();
  std::string NextToken() { return NextRawTokenAlt(line_, indentation_); }

  // After a "\n" token: reads further lines and returns the first token of
  // the first line that is not passed over; nothing at the end of the file.
  // Passed over are lines whose first byte is "\n", or with
  // `skipBlankFirstToken` lines whose first token is "\n" or empty.
  std::optional<std::string> ContinueStatement(bool skipBlankFirstToken);

  LineBuffer& Line() { return line_; }

 private:
  bool ReadRaw(std::string& text);

  TextFile& file_;
  std::string& trace_;
  LineBuffer line_;
  int indentation_ = 0;
};

// Opens a pass's source file; when that fails, shows "ファイル開けず" and
// the path.
bool OpenPassSource(TextFile& file, const std::string& path);

// The comment rules of both passes: a whole comment is ignored, a comment
// start sets `inComment` and a comment end clears it (neither is processed
// further), and every token is ignored while `inComment` is set. True when
// the token is ignored.
bool IsIgnoredAsComment(int kind, bool& inComment);

}  // namespace vandrel
