// Byte classes and the two raw lexers. Tokens are cut from the front of the
// caller's line; a line is used up when IsBlankToken sees "\n" or "".
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace vandrel {

// The byte's value when it belongs to class 1 (0xA1-0xFE), 2 (Shift-JIS
// lead byte) or 3 (trail byte), else 0.
int IsShiftJisByteOfClass(int byteClass, unsigned char byte);
// 1 for "0" to "9", else 0.
int IsDecimalDigit(char c);

// The rest of the current line. The lexers cut each token (and the blanks
// before it) from its front without moving the rest; Rest() is what is left.
// A NUL byte ends the text, as the end of a C buffer does.
class LineBuffer {
 public:
  LineBuffer() = default;
  explicit LineBuffer(std::string text) { Assign(std::move(text)); }
  void Assign(std::string text) {
    text_ = std::move(text);
    pos_ = 0;
    end_ = std::min(text_.find('\0'), text_.size());
  }
  std::string_view Rest() const {
    return pos_ < end_ ? std::string_view(text_).substr(pos_, end_ - pos_) : std::string_view();
  }
  // For the lexers: the whole text, the cut position and the end of the
  // text (the first NUL, else the size).
  const std::string& Text() const { return text_; }
  size_t Pos() const { return pos_; }
  size_t End() const { return end_; }
  void SetPos(size_t pos) { pos_ = pos; }

 private:
  std::string text_;
  size_t pos_ = 0;
  size_t end_ = 0;
};

// The next token; the line loses it and the blanks before it.
std::string NextRawToken(LineBuffer& line);
// As NextRawToken with more compound operators, the closing quote kept, and
// the indentation before the token (1 per blank, 4 per tab) stored with bit
// 31 set when it is above 0 (otherwise `indentation` is left as it was).
std::string NextRawTokenAlt(LineBuffer& line, int& indentation);
// 1 when the token is exactly "\n" or "".
int IsBlankToken(std::string_view token);

}  // namespace vandrel
