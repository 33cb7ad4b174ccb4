// How a body is read from the word pass's file and line: where it ends, what
// is left for the word pass, and the failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "analysis/body_fixture.h"
#include "analysis/body_texts.h"
#include "run/run_state.h"

namespace vandrel {
namespace {

using test::AnalyzeSource;
using test::BodyTest;
using test::Crlf;
using test::LogText;
using test::Sj;
using test::WorkFile;

// The written variables of f's record.
std::string WritesOf(const std::string& record) {
  std::string tag = Crlf(kTagWrites + "\n");
  size_t from = record.find(tag);
  if (from == std::string::npos) return "<no section>";
  from += tag.size();
  return record.substr(from, record.find("\r\n\r\n", from) - from);
}

TEST_F(BodyTest, BodyIsConsumedUpToItsClosingBrace) {
  const struct {
    const char* name;
    const char* source;
    const char* restOfLine;
    const char* nextLine;
  } cases[] = {
      {"brace inside the line", "void f(void) {\n  x = 1; } int y;\nint z;\n", " int y;\n",
       "int z;\n"},
      {"brace on its own line", "void f(void) {\n  if (a) { x = 1; }\n}\nint z;\n", "\n", "int z;\n"},
      {"body on the head line", "void f(void) { x = 1; }\nint z;\n", "\n", "int z;\n"},
      {"brace as the last byte of the file", "void f(void) {\n  x = 1;\n}", "", "<EOF>"},
      {"file ends inside the body", "void f(void) {\n  x = 1;\n", "", "<EOF>"},
  };
  for (const auto& c : cases) {
    test::BodyOutcome outcome = AnalyzeSource(c.source);
    EXPECT_EQ(outcome.result, 1) << c.name;
    EXPECT_EQ(outcome.restOfLine, c.restOfLine) << c.name;
    EXPECT_EQ(outcome.nextLine, c.nextLine) << c.name;
    EXPECT_EQ(WritesOf(WorkFile("func_als/f")), "x") << c.name;
  }
}

TEST_F(BodyTest, UnopenableFilesGive255AndTheBodyIsStillConsumed) {
  test::WriteBytes(WorkPath("func_als"), "a file where the folder should be");
  test::BodyOutcome outcome = AnalyzeSource("void f(void) {\n  { x = 1; }\n}\nint z;\n");
  EXPECT_EQ(outcome.result, 255);
  EXPECT_EQ(outcome.nextLine, "int z;\n");
  EXPECT_FALSE(std::filesystem::exists(WorkPath("HTML/f.html")));
}

TEST_F(BodyTest, NameThatCannotNameAFileIsSkipped) {
  test::BodyOutcome outcome = AnalyzeSource("int \"a/b\"(void) {\n  x = 1;\n}\nint z;\n");
  EXPECT_EQ(outcome.result, 255);
  EXPECT_EQ(outcome.nextLine, "int z;\n");
  EXPECT_FALSE(std::filesystem::exists(WorkPath("func_als/\"a")));
  EXPECT_NE(LogText().find("NOT A FILE NAME"), std::string::npos);
}

TEST_F(BodyTest, ExceptionIsLoggedWithTheStateAndTheBodyIsSkipped) {
  g_currentSourceFile = "input.c";
  g_lineCounter = 7;
  test::HeadOptions options;
  options.headLastTokenIndex = 50;  // past the head tokens
  test::BodyOutcome outcome = AnalyzeSource("void f(void) {\n  x = 1;\n}\nint z;\n", options);
  EXPECT_EQ(outcome.result, 1);
  EXPECT_EQ(LogText(), "input.c : 7 : start : " + Sj("例外発生070") + "start\r\n");
  EXPECT_EQ(outcome.nextLine, "int z;\n");
  EXPECT_EQ(g_lineCounter, 9);
  g_currentSourceFile = "";
}

TEST_F(BodyTest, StatementOf30000TokensIsLoggedAndGoesOn) {
  g_currentSourceFile = "input.c";
  g_lineCounter = 0;
  std::string zeros;
  for (int i = 0; i < 12000; ++i) zeros += "0 ";
  // Slot 30000 is reached on the third line, in the state that waits for ";".
  std::string source = "void f(void) {\n" + zeros + "\n" + zeros + "\n" + zeros + ";\n x = 1;\n}\n";
  ASSERT_EQ(AnalyzeSource(source).result, 1);
  EXPECT_EQ(LogText(), Crlf("input.c : 3 : " + zeros + ";\n : " + Sj("メモリオーバー") + "900\n"));
  EXPECT_EQ(WritesOf(WorkFile("func_als/f")), "x");
  g_currentSourceFile = "";
}

TEST_F(BodyTest, LongLineIsReadWhole) {
  std::filesystem::create_directories(WorkPath("FILEINFO"));
  std::string pad(40000, ' ');
  AnalyzeSource("void f(void) {\n" + pad + "x = 1; y = 2;\n}\nint z;\n");
  EXPECT_EQ(WorkFile("FILEINFO/INF_f.c"), Crlf("[LINE COUNT]\n2\n[LINE COUNT V]\n1\n[COMMNET]\n0\n"));
  EXPECT_EQ(WritesOf(WorkFile("func_als/f")), "x\r\ny");
}

}  // namespace
}  // namespace vandrel
