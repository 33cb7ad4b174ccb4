#include "reader/lexer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reader/texts.h"
#include "test_support.h"

namespace vandrel {
namespace {

using test::RecordingHost;
using test::Sj;
using Tokens = std::vector<std::string>;

// Every token up to the empty one (which is left out).
Tokens LexAll(const std::string& text, bool alt) {
  LineBuffer line(text);
  Tokens tokens;
  int indentation = 0;
  for (int guard = 0; guard < 100000; ++guard) {
    std::string t = alt ? NextRawTokenAlt(line, indentation) : NextRawToken(line);
    if (t.empty()) return tokens;
    tokens.push_back(t);
  }
  ADD_FAILURE() << "lexer makes no progress";
  return tokens;
}

struct LexCase {
  const char* name;
  std::string input;
  Tokens raw;
  Tokens alt;
};

// Cases where both lexers agree.
LexCase Same(const char* name, std::string input, Tokens tokens) {
  return {name, std::move(input), tokens, tokens};
}

std::vector<LexCase> LexCases() {
  const std::string hyo = "\x95\x5C";  // 表: trail byte 0x5C
  return {
      {"plus assign", "a+=1\n", {"a", "+", "=", "1", "\n"}, {"a", "+=", "1", "\n"}},
      {"shift assign", "a<<=1\n", {"a", "<<", "=", "1", "\n"}, {"a", "<<=", "1", "\n"}},
      {"right shift assign", "a>>=b", {"a", ">>", "=", "b"}, {"a", ">>=", "b"}},
      {"minus assign", "x-=1", {"x", "-", "=", "1"}, {"x", "-=", "1"}},
      {"and assign", "x&=y", {"x", "&", "=", "y"}, {"x", "&=", "y"}},
      {"or assign", "x|=y", {"x", "|", "=", "y"}, {"x", "|=", "y"}},
      Same("arrow", "p->x\n", {"p", "->", "x", "\n"}),
      Same("times assign", "a*=b", {"a", "*", "=", "b"}),
      Same("divide assign", "a/=b", {"a", "/", "=", "b"}),
      Same("modulo assign", "a%=b", {"a", "%", "=", "b"}),
      Same("xor assign", "a^=b", {"a", "^", "=", "b"}),
      Same("decrement before assign", "x--=", {"x", "--", "="}),
      Same("arrow before assign", "x->=", {"x", "->", "="}),
      {"increment then plus", "a+++=b", {"a", "++", "+", "=", "b"}, {"a", "++", "+=", "b"}},
      Same("doubled operators", "a==b&&c||d!=e", {"a", "==", "b", "&&", "c", "||", "d", "!=", "e"}),
      Same("comparisons", "a<=b>=c<d>e!f",
           {"a", "<=", "b", ">=", "c", "<", "d", ">", "e", "!", "f"}),
      Same("shifts", "a<<b>>c", {"a", "<<", "b", ">>", "c"}),
      Same("less than then shift", "a<<<b", {"a", "<<", "<", "b"}),
      Same("identifier with digits and underscore", "_a1_b2+c", {"_a1_b2", "+", "c"}),
      Same("hex lower x", "0x1Fu", {"0x1F", "u"}),
      Same("hex upper X", "0X1F", {"0", "X1F"}),
      Same("fraction and exponent", "1.5e10;", {"1.5e10", ";"}),
      Same("exponent with sign", "1.5e+10", {"1.5e", "+", "10"}),
      Same("unsigned long suffix", "10UL", {"10", "UL"}),
      Same("hex letters run on", "12abcdef", {"12abcdef"}),
      Same("non-hex letter ends number", "12g", {"12", "g"}),
      {"quoted word", "\"abc\" x\n", {"\"abc", "x", "\n"}, {"\"abc\"", "x", "\n"}},
      {"empty literal runs on", "\"\" x\"y\n", {"\"\" x", "y", "\n"}, {"\"\" x\"", "y", "\n"}},
      {"literal ends at newline", "\"abc\n", {"\"abc"}, {"\"abc\n"}},
      {"quote then newline", "'\nx", {"'", "x"}, {"'\n", "x"}},
      {"backslash has no role", "'\\'' x\n", {"'\\", "' x"}, {"'\\'", "' x\n"}},
      {"other quote inside", "'\"' z", {"'\"", "z"}, {"'\"'", "z"}},
      Same("literal at end of text", "'ab", {"'ab"}),
      Same("block comment closed", "/* c */ x\n", {"/* c */", "x", "\n"}),
      Same("block comment open", "/* open\n", {"/* open", "\n"}),
      Same("block comment needs its own star", "/*/ x\n", {"/*/ x", "\n"}),
      Same("empty block comment", "/**/y", {"/**/", "y"}),
      Same("block comment at end of text", "/* c", {"/* c"}),
      Same("line comment", "// c */\n", {"// c */", "\n"}),
      Same("line comment at end of text", "x // c", {"x", "// c"}),
      Same("comment end and slash", "*/a/b", {"*/", "a", "/", "b"}),
      Same("newline only", "\n", {"\n"}),
      Same("empty buffer", "", {}),
      Same("blanks only", " \t ", {}),
      Same("single bytes", "#(;%\\?:~", {"#", "(", ";", "%", "\\", "?", ":", "~"}),
      Same("carriage return", "a\r\n", {"a", "\r", "\n"}),
      Same("half-width katakana", "\xB1\xB2", {"\xB1", "\xB2"}),
      Same("high bytes that lead nothing", "\x80\xA0\xFD", {"\x80", "\xA0", "\xFD"}),
      Same("Japanese then letters", Sj("日本語abc"), {Sj("日本語"), "abc"}),
      Same("trail byte 0x5C in a run", hyo + "\\n", {hyo, "\\", "n"}),
      {"trail byte 0x5C before a quote", "\"" + hyo + "\" x", {"\"" + hyo, "x"},
       {"\"" + hyo + "\"", "x"}},
      Same("trail byte 0x5B is no bracket", Sj("ー[i]"), {Sj("ー"), "[", "i", "]"}),
      Same("Japanese then half-width katakana", Sj("日ｱ"), {Sj("日"), "\xB1"}),
      Same("NUL ends the text", std::string("ab\0cd\n", 6), {"ab"}),
      Same("NUL ends a comment", std::string("/* a\0 */\n", 9), {"/* a"}),
  };
}

TEST(LexerTest, TokensOfBothLexers) {
  for (const LexCase& c : LexCases()) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LexAll(c.input, false), c.raw);
    EXPECT_EQ(LexAll(c.input, true), c.alt);
  }
}

TEST(LexerTest, TheLineLosesTheTokenAndTheBlanksBeforeIt) {
  struct {
    std::string input, rawRest, altRest;
  } cases[] = {
      {"  a+=1\n", "+=1\n", "+=1\n"},
      {"\"abc\" x\n", " x\n", " x\n"},
      {"\"abc\n", "", ""},
      {"/* c */ x\n", " x\n", " x\n"},
      {"// c\n", "\n", "\n"},
      {"\t\n", "", ""},
      {"<<=", "=", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    LineBuffer raw(c.input), alt(c.input);
    int indentation = 0;
    NextRawToken(raw);
    NextRawTokenAlt(alt, indentation);
    EXPECT_EQ(raw.Rest(), c.rawRest);
    EXPECT_EQ(alt.Rest(), c.altRest);
  }
}

TEST(LexerTest, EmptyTokenLeavesTheLineAsItWas) {
  for (std::string text : {std::string(), std::string("  \t"), std::string("\0x", 2)}) {
    LineBuffer line(text);
    EXPECT_EQ(NextRawToken(line), "");
    EXPECT_EQ(line.Pos(), 0u);
    EXPECT_EQ(NextRawToken(line), "");
  }
}

TEST(LexerTest, RestStopsAtNul) {
  LineBuffer line(std::string("a b\0c", 5));
  EXPECT_EQ(line.Rest(), "a b");
  NextRawToken(line);
  EXPECT_EQ(line.Rest(), " b");
}

TEST(LexerTest, AltStoresIndentationWithBit31) {
  struct {
    std::string input;
    int expected;
  } cases[] = {
      {"\t\t word", static_cast<int>(9u | 0x80000000u)},
      {" x", static_cast<int>(1u | 0x80000000u)},
      {"\tx", static_cast<int>(4u | 0x80000000u)},
      {"word", 42},  // nothing in front: left as it was
      {"", 42},
      {"   ", static_cast<int>(3u | 0x80000000u)},  // counted before the end is seen
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    LineBuffer line(c.input);
    int indentation = 42;
    NextRawTokenAlt(line, indentation);
    EXPECT_EQ(indentation, c.expected);
  }
}

TEST(LexerTest, AltIndentationIsThatOfTheLastToken) {
  LineBuffer line("\tif (x)\n");
  int indentation = 0;
  EXPECT_EQ(NextRawTokenAlt(line, indentation), "if");
  EXPECT_EQ(indentation, static_cast<int>(4u | 0x80000000u));
  EXPECT_EQ(NextRawTokenAlt(line, indentation), "(");
  EXPECT_EQ(indentation, static_cast<int>(1u | 0x80000000u));
  EXPECT_EQ(NextRawTokenAlt(line, indentation), "x");
  EXPECT_EQ(indentation, static_cast<int>(1u | 0x80000000u));
}

TEST(LexerTest, BrokenDoubleByteShowsFailureAndKeepsThePair) {
  struct {
    const char* name;
    std::string input;
    Tokens tokens;
    size_t boxes;
  } cases[] = {
      {"lead then digit", "\x81" "1x", {"\x81" "1", "x"}, 1},
      {"lead then blank", "\x81 x", {"\x81 ", "x"}, 1},
      {"lead then newline", "\x81\n", {"\x81\n"}, 1},
      {"lead at end of text", "a\x81", {"a", "\x81"}, 1},
      {"lead before NUL", std::string("\x81\0z", 3), {"\x81"}, 1},
      {"run goes on after a broken pair", "\x81" "1\x82\xA0" "b", {"\x81" "1\x82\xA0", "b"}, 1},
      {"two broken pairs", "\x81" "1\x82" "2", {"\x81" "1\x82" "2"}, 2},
      {"lead then letter", "\x81" "Ab", {"\x81" "A", "b"}, 0},
      {"lead then lead", "\x81\x81\x40", {"\x81\x81", "\x40"}, 0},
      {"valid text", Sj("表示"), {Sj("表示")}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool alt : {false, true}) {
      RecordingHost host;
      EXPECT_EQ(LexAll(c.input, alt), c.tokens);
      ASSERT_EQ(host.boxes.size(), c.boxes);
      for (const auto& box : host.boxes) {
        EXPECT_EQ(box.text, kMsgBrokenDoubleByte);
        EXPECT_EQ(box.caption, kDefaultCaption);
        EXPECT_EQ(box.buttons, MessageButtons::Ok);
      }
    }
  }
  EXPECT_EQ(ToUtf8(kMsgBrokenDoubleByte), "失敗!");
}

TEST(LexerTest, LongLineIsCutWithoutLosingBytes) {
  std::string text;
  for (int i = 0; i < 6000; ++i) text += "ab\t+ ";
  text += "\n";
  LineBuffer line(text);
  int tokens = 0;
  std::string t;
  while (!IsBlankToken(t = NextRawToken(line))) {
    ASSERT_EQ(t, tokens % 2 ? "+" : "ab");
    ++tokens;
  }
  EXPECT_EQ(tokens, 12000);
  EXPECT_EQ(t, "\n");
  EXPECT_EQ(line.Rest(), "");
}

TEST(LexerTest, BlankTokens) {
  struct {
    std::string token;
    int expected;
  } cases[] = {{"", 1},  {"\n", 1}, {"\r", 0}, {" ", 0},
               {"\n\n", 0}, {"x", 0},  {std::string(1, '\0'), 0}};
  for (const auto& c : cases) EXPECT_EQ(IsBlankToken(c.token), c.expected) << c.token;
}

TEST(ByteClassTest, ClassBoundaries) {
  struct {
    int byteClass;
    unsigned char byte;
    int expected;
  } cases[] = {
      {1, 0xA0, 0},    {1, 0xA1, 0xA1}, {1, 0xFE, 0xFE}, {1, 0xFF, 0},    {1, 0x41, 0},
      {2, 0x80, 0},    {2, 0x81, 0x81}, {2, 0x9F, 0x9F}, {2, 0xA0, 0},    {2, 0xDF, 0},
      {2, 0xE0, 0xE0}, {2, 0xFC, 0xFC}, {2, 0xFD, 0},    {3, 0x3F, 0},    {3, 0x40, 0x40},
      {3, 0x5C, 0x5C}, {3, 0x7E, 0x7E}, {3, 0x7F, 0},    {3, 0x80, 0x80}, {3, 0xFC, 0xFC},
      {3, 0xFD, 0},    {3, 0x00, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsShiftJisByteOfClass(c.byteClass, c.byte), c.expected)
        << "class " << c.byteClass << " byte " << int(c.byte);
  }
}

TEST(ByteClassDeathTest, UnknownClassEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(IsShiftJisByteOfClass(0, 0x81), ::testing::ExitedWithCode(1), "");
  EXPECT_EXIT(IsShiftJisByteOfClass(4, 0x81), ::testing::ExitedWithCode(1), "");
}

TEST(ByteClassTest, DecimalDigits) {
  for (char c : std::string("0123456789")) EXPECT_EQ(IsDecimalDigit(c), 1) << c;
  for (char c : std::string("/:aA \xB0")) EXPECT_EQ(IsDecimalDigit(c), 0) << c;
}

}  // namespace
}  // namespace vandrel
