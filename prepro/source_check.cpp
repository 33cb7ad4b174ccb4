#include "prepro/source_check.h"

#include <vector>

#include "prepro/source_line.h"
#include "prepro/texts.h"
#include "reader/lexer.h"
#include "run/analysis_log.h"

namespace vandrel {
namespace {

// Lines on which one kind of problem was seen.
struct Lines {
  int first = 0;
  int last = 0;
  int count = 0;
  void Add(int line) {
    if (count > 0 && line == last) return;
    if (count == 0) first = line;
    last = line;
    ++count;
  }
};

// Openings not closed yet (their lines) and closings without an opening.
struct Pairs {
  std::vector<int> open;
  Lines stray;
  void Open(int line) { open.push_back(line); }
  void Close(int line) {
    if (open.empty())
      stray.Add(line);
    else
      open.pop_back();
  }
};

// Well-formed UTF-8 with at least one multi-byte character.
bool IsUtf8Text(std::string_view t) {
  bool multi = false;
  for (size_t i = 0; i < t.size();) {
    const unsigned char c = static_cast<unsigned char>(t[i]);
    const size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || (n == 2 && c < 0xC2) || i + n > t.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(t[i + k]) & 0xC0) != 0x80) return false;
    multi = multi || n > 1;
    i += n;
  }
  return multi;
}

// "#error" and "#warning" lines hold prose, whose apostrophes open nothing.
bool IsProseDirective(std::string_view t, size_t lineStart) {
  size_t i = lineStart;
  auto skipBlanks = [&] {
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
  };
  skipBlanks();
  if (i >= t.size() || t[i] != '#') return false;
  ++i;
  skipBlanks();
  for (std::string_view word : {"error", "warning"})
    if (t.substr(i, word.size()) == word) return true;
  return false;
}

class Checker {
 public:
  Checker(std::string_view text, bool utf8) : t_(text), utf8_(utf8) {}

  void Run() {
    size_t lineStart = 0;
    StartLine(0);
    for (size_t i = 0; i < t_.size();) {
      if (t_[i] != '\n') {
        i = Step(i);
        continue;
      }
      EndLine(i, lineStart);
      lineStart = ++i;
      StartLine(lineStart);
    }
    if (lineStart < t_.size()) EndLine(t_.size(), lineStart);
  }

  void Log(const std::string& title, const std::string& path) const {
    auto at = [&](int line) { return path + ":" + std::to_string(line); };
    auto where = [&](const Lines& l) {
      return at(l.first) + (l.count > 1 ? MoreLinesNote(l.count - 1) : "");
    };
    auto log = [&](const std::string& what, const std::string& place) {
      AppendPreproLog(title, what + place + "\n");
    };
    if (utf8_) log(kLogUtf8Text, path);
    if (broken_.count) log(kLogBrokenDoubleByte, where(broken_));
    if (long_.count) log(kLogLongLine, where(long_));
    if (state_ == kBlockComment) log(kLogUnclosedComment, at(commentLine_));
    if (literal_.count) log(kLogUnclosedLiteral, where(literal_));
    if (!braces_.open.empty()) log(kLogUnclosedBrace, at(braces_.open.front()));
    if (braces_.stray.count) log(kLogStrayBrace, where(braces_.stray));
    if (!parens_.open.empty()) log(kLogUnclosedParen, at(parens_.open.front()));
    if (parens_.stray.count) log(kLogStrayParen, where(parens_.stray));
  }

 private:
  enum State { kCode, kBlockComment, kLineComment, kString, kChar, kProse };

  unsigned char At(size_t i) const { return i < t_.size() ? static_cast<unsigned char>(t_[i]) : 0; }

  // Past one character: a double-byte one whole; a lead byte without its
  // trail byte is broken and stands alone, so that what follows is seen.
  size_t Next(size_t i) {
    if (utf8_ || !IsShiftJisByteOfClass(2, At(i))) return i + 1;
    if (IsShiftJisByteOfClass(3, At(i + 1))) return i + 2;
    broken_.Add(line_);
    return i + 1;
  }

  size_t Step(size_t i) {
    const char c = t_[i];
    const char d = static_cast<char>(At(i + 1));
    if (c == '\\' && d == '\n') {
      continued_ = true;  // the state goes on to the next line
      return i + 1;
    }
    switch (state_) {
      case kCode:
        if (c == '/' && d == '*') {
          state_ = kBlockComment;
          commentLine_ = line_;
          return i + 2;
        }
        if (c == '/' && d == '/') {
          state_ = kLineComment;
          return i + 2;
        }
        if (c == '"' || c == '\'') state_ = c == '"' ? kString : kChar;
        if (c == '{') braces_.Open(line_);
        if (c == '}') braces_.Close(line_);
        if (c == '(') parens_.Open(line_);
        if (c == ')') parens_.Close(line_);
        return Next(i);
      case kBlockComment:
        if (c == '*' && d == '/') {
          state_ = kCode;
          return i + 2;
        }
        return Next(i);
      case kString:
      case kChar:
        if (c == '\\' && d != '\n') return Next(i + 1);  // an escape
        if (c == (state_ == kString ? '"' : '\'')) state_ = kCode;
        return Next(i);
      case kLineComment:
      case kProse:
        return Next(i);
    }
    return i + 1;
  }

  void StartLine(size_t lineStart) {
    if (state_ == kCode && IsProseDirective(t_, lineStart)) state_ = kProse;
  }

  // At the "\n" at `end` (or the end of the text). Only a block comment
  // and a continued line go on past it.
  void EndLine(size_t end, size_t lineStart) {
    if (end - lineStart >= kLineBufferBytes - 1) long_.Add(line_);
    if (!continued_) {
      if (state_ == kString || state_ == kChar) literal_.Add(line_);
      if (state_ != kBlockComment) state_ = kCode;
    }
    continued_ = false;
    ++line_;
  }

  std::string_view t_;
  bool utf8_;
  State state_ = kCode;
  bool continued_ = false;
  int line_ = 1;
  int commentLine_ = 0;
  Lines broken_, long_, literal_;
  Pairs braces_, parens_;
};

}  // namespace

bool IsBinaryText(std::string_view text) { return text.find('\0') != std::string_view::npos; }

void LogSourceProblems(const std::string& title, const std::string& path, std::string_view text) {
  Checker checker(text, IsUtf8Text(text));
  checker.Run();
  checker.Log(title, path);
}

}  // namespace vandrel
