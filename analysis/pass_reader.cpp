#include "analysis/pass_reader.h"

#include "analysis/file_texts.h"
#include "platform/host.h"
#include "prepro/texts.h"
#include "reader/token_kind.h"
#include "run/run_state.h"
#include "run/texts.h"

namespace vandrel {

bool PassReader::ReadRaw(std::string& text) {
  if (!file_.ReadLineRaw(text, kPassLineBytes)) return false;
  ++g_lineCounter;
  return true;
}

bool PassReader::FreshLine() {
  std::string text;
  if (!ReadRaw(text)) return false;
  trace_ = text;
  line_.Assign(std::move(text));
  return true;
}

std::optional<std::string> PassReader::ContinueStatement(bool skipBlankFirstToken) {
  std::string text;
  while (ReadRaw(text)) {
    if (text[0] == '\n') continue;
    LineBuffer next(text);
    std::string token = NextRawTokenAlt(next, indentation_);
    if (skipBlankFirstToken && IsBlankToken(token)) continue;
    trace_ = text;
    line_ = std::move(next);
    return token;
  }
  return std::nullopt;
}

bool OpenPassSource(TextFile& file, const std::string& path) {
  if (file.Open(path, TextFile::Mode::Read)) return true;
  CurrentHost().MessageBox(kMsgFileNotOpen + path, kCaptionEnd, MessageButtons::Ok);
  return false;
}

bool IsIgnoredAsComment(int kind, bool& inComment) {
  if (kind == kKindComment) return true;
  if (kind == kKindCommentStart) {
    inComment = true;
    return true;
  }
  if (kind == kKindCommentEnd) {
    inComment = false;
    return true;
  }
  return inComment;
}

}  // namespace vandrel
