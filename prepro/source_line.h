// Line input and output of the preprocessor, its text replacement and its
// bounded token arrays.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/text_file.h"

namespace vandrel {

// Lines are read like fgets into a 2000-byte buffer: at most 1999 bytes,
// the "\n" kept; a longer line comes in pieces.
inline constexpr size_t kLineBufferBytes = 2000;

inline bool ReadSourceLine(TextFile& in, std::string& line) {
  return in.ReadLineRaw(line, kLineBufferBytes);
}

// Writes a line as a C string: a NUL byte ends it.
inline void WriteSourceText(TextFile& out, std::string_view text) {
  out.Write(text.substr(0, text.find('\0')));
}

// Every occurrence of `from` (at character starts) replaced by `to`.
std::string ReplaceAllMb(std::string_view text, std::string_view from, std::string_view to);

// Removes the entries [from, to); the later ones move up.
inline void EraseTokens(std::vector<std::string>& t, size_t from, size_t to) {
  t.erase(t.begin() + static_cast<long>(from), t.begin() + static_cast<long>(to));
}

// Entries per token array: the memory factor times `base`.
int TokenArrayCapacity(int base = 1000);

// A token array that refuses to grow past its capacity.
class TokenArray {
 public:
  explicit TokenArray(size_t capacity) : capacity_(capacity) { tokens_.reserve(64); }
  // False (nothing stored) when the array is full.
  bool Push(std::string token) {
    if (tokens_.size() >= capacity_) return false;
    tokens_.push_back(std::move(token));
    return true;
  }
  size_t Capacity() const { return capacity_; }
  std::vector<std::string>& Tokens() { return tokens_; }

 private:
  size_t capacity_;
  std::vector<std::string> tokens_;
};

}  // namespace vandrel
