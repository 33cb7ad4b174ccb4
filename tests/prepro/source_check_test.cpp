#include "prepro/source_check.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "platform/text_file.h"
#include "test_support.h"

namespace vandrel {
namespace {

using test::Sj;

class SourceCheckTest : public test::TempDirTest {
 protected:
  // The lines logged for the text, without the prefix and the title.
  std::vector<std::string> Check(const std::string& text) {
    std::remove("AnalyzeLog.txt");
    LogSourceProblems("t", "a.c", text);
    std::string log;
    ReadTextFile("AnalyzeLog.txt", log);
    std::vector<std::string> lines;
    const std::string prefix = Sj("プリプロ解析 t : ");
    for (size_t pos = 0; pos < log.size();) {
      size_t end = log.find('\n', pos);
      std::string line = log.substr(pos, end - pos);
      EXPECT_EQ(line.rfind(prefix, 0), 0u) << line;
      lines.push_back(ToUtf8(line.substr(prefix.size())));
      pos = end + 1;
    }
    return lines;
  }
};

using Lines = std::vector<std::string>;

TEST_F(SourceCheckTest, SoundCCodeGivesNoLine) {
  const std::string sound = Sj(
      "/* 表 { ( \" ' */\n"
      "// 表\n"             // a trail byte 0x5C at the end continues nothing
      "char *s = \"表\";\n"  // nor does it escape the closing quote
      "char c = '\\'', d = '\"', e = '\\\\';\n"
      "char *t = \"a \\\" { \\\n"
      "  still the literal\";\n"
      "#error don't stop\n"
      "#define OPEN {\n"
      "#define CLOSE }\n"
      "int f(int a)\n{\n  return (a);\n}\n");
  EXPECT_EQ(Check(sound), Lines{});
  EXPECT_EQ(Check(""), Lines{});
}

TEST_F(SourceCheckTest, EachKindIsOneLineWithTheFirstPlaceAndHowManyMore) {
  struct Case {
    const char* what;
    std::string text;
    Lines expected;
  } cases[] = {
      {"broken pairs, two on one line", "\x82 \x82;\nok\n\x88\n",
       {"2バイト文字異常 a.c:1 ほか1行"}},
      {"a lead byte at the end of the text", "int a;\x82", {"2バイト文字異常 a.c:1"}},
      {"UTF-8, whose bytes are not paired", "/* \xE3\x81\x82 */\nint a;\n",
       {"UTF-8のファイル Shift-JISとして解析 a.c"}},
      {"lines read in pieces", "a\n" + std::string(1998, 'x') + "\n" + std::string(1999, 'y') + "\n",
       {"1999バイトを超える行 分割して解析 a.c:3"}},
      {"a comment that never ends", "int a;\n/* open\n{\n", {"閉じないコメント a.c:2"}},
      {"literals that end with their line", "char *a = \"x;\nchar b = 'y;\n",
       {"閉じないリテラル a.c:1 ほか1行"}},
      {"braces, the outermost that stays open", "f()\n{\n  {\n}\n", {"閉じない { a.c:2"}},
      {"braces without an opening", "}\nf() { }\n}\n", {"対応のない } a.c:1 ほか1行"}},
      {"parentheses both ways", ")\nf((a)\n", {"閉じない ( a.c:2", "対応のない ) a.c:1"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Check(c.text), c.expected) << c.what;
}

TEST_F(SourceCheckTest, BinaryTextIsTextWithANulByte) {
  EXPECT_TRUE(IsBinaryText(std::string("ab\0c", 4)));
  EXPECT_TRUE(IsBinaryText(std::string("i\0n\0t\0", 6)));  // UTF-16
  EXPECT_FALSE(IsBinaryText(Sj("int 表;\n")));
}

}  // namespace
}  // namespace vandrel
