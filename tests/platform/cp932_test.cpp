#include "platform/cp932.h"

#include <gtest/gtest.h>

namespace vandrel {
namespace {

// "表" is 0x95 0x5C and "ソ" is 0x83 0x5C: their trail byte is the ASCII "\".
const std::string kHyo = "\x95\x5C";
const std::string kSo = "\x83\x5C";

TEST(Cp932Test, ConvertsBothWaysWithTheWindowsCharacters) {
  // "～" and "−" exist only in the CP932 table (not in plain Shift_JIS).
  EXPECT_EQ(ToCp932("～−"), "\x81\x60\x81\x7C");
  EXPECT_EQ(ToUtf8("\x81\x60\x81\x7C"), "～－");  // CP932 reads 0x817C as U+FF0D
  EXPECT_EQ(ToUtf8(kHyo + kSo), "表ソ");
  EXPECT_EQ(ToCp932("abc"), "abc");
  EXPECT_FALSE(TryToUtf8("\x81").has_value());
  EXPECT_FALSE(TryToCp932("\xF0\x9F\x98\x80").has_value());  // an emoji
}

TEST(Cp932Test, SearchesNeverMatchInsideADoubleByteCharacter) {
  struct Case {
    std::string hay, needle;
    size_t expected;
  } cases[] = {
      {kHyo + "\\", "\\", 2},      // the trail 0x5C is skipped
      {kHyo, "\\", std::string::npos},
      {"\x82\x61" "a", "a", 2},    // 0x61 as a trail byte does not count
      {"ab" + kSo + "cd", "cd", 4},
      {"abc", "", 0},
      {"\x82\x61\x82\x61" "a", "a", 4},  // two trail bytes before the match
      {kSo + "\x82", "\x82", 2},          // a lone lead byte at the end is a character
  };
  for (const Case& c : cases) EXPECT_EQ(MbFind(c.hay, c.needle), c.expected) << c.hay;
  EXPECT_EQ(MbFind("a" + kSo + "a", "a", 1), 3u);
  EXPECT_EQ(MbFind("a" + kHyo + "\\", "\\", 2), 3u);  // from inside a character
  EXPECT_EQ(MbReverseFind(kHyo + "\\" + kHyo, '\\'), 2u);
  EXPECT_EQ(MbReverseFind(kSo, '\\'), std::string::npos);
  EXPECT_TRUE(MbEndsWithChar("dir\\", '\\'));
  EXPECT_FALSE(MbEndsWithChar("dir" + kSo, '\\'));
}

TEST(Cp932Test, UpperCaseAndComparisonFoldOnlyAsciiLetters) {
  // 0x82 0x61 is a double-byte letter whose trail byte is "a": it stays.
  EXPECT_EQ(MbUpper("ab\x82\x61z"), "AB\x82\x61Z");
  EXPECT_EQ(MbCompareNoCase("C:/Work/Src", "c:/work/SRC"), 0);
  EXPECT_NE(MbCompareNoCase("\x82\x61", "\x82\x41"), 0);
}

}  // namespace
}  // namespace vandrel
