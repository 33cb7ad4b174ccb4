// CP932 (Shift-JIS) text: conversion to and from UTF-8, and searches that
// never split a double-byte character.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vandrel {

// Lead byte of a double-byte CP932 character: 0x81-0x9F, 0xE0-0xFC.
inline bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// UTF-8 -> CP932. Characters that CP932 lacks become "?".
std::string ToCp932(std::string_view utf8);
// CP932 -> UTF-8. Broken double-byte characters become U+FFFD.
std::string ToUtf8(std::string_view cp932);
// Exact conversions: nothing when the text does not convert whole.
std::optional<std::string> TryToCp932(std::string_view utf8);
std::optional<std::string> TryToUtf8(std::string_view cp932);

// Position of the character after the one at pos (pos + 1 or pos + 2).
inline size_t MbNextChar(std::string_view s, size_t pos) {
  if (pos + 1 < s.size() && IsLeadByte(static_cast<unsigned char>(s[pos]))) return pos + 2;
  return pos + 1;
}

// Substring search that only matches at character starts, as _mbsstr does.
size_t MbFind(std::string_view hay, std::string_view needle, size_t from = 0);
inline bool MbContains(std::string_view hay, std::string_view needle) {
  return MbFind(hay, needle) != std::string_view::npos;
}
// Every occurrence of `piece` removed, matched at character starts.
std::string MbRemoveAll(std::string_view s, std::string_view piece);
// Last single-byte character c (never a trail byte), or npos.
size_t MbReverseFind(std::string_view s, char c);
// Upper-cases ASCII letters; trail bytes stay as they are.
std::string MbUpper(std::string_view s);
// Case-insensitive comparison (ASCII letters folded), <0, 0 or >0.
int MbCompareNoCase(std::string_view a, std::string_view b);
// True when the last character is the single byte c (not a trail byte).
bool MbEndsWithChar(std::string_view s, char c);

}  // namespace vandrel
