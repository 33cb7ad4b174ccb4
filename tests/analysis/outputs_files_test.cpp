// The source page, the source copy, the used-name lines and the counts of a
// function, and what a later function of the same name leaves.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "analysis/body_fixture.h"
#include "analysis/body_texts.h"
#include "analysis/function_outputs.h"
#include "run/run_state.h"

namespace vandrel {
namespace {

using test::AnalyzeSource;
using test::BodyTest;
using test::Crlf;
using test::LogText;
using test::Sj;
using test::WorkFile;

// U+3000 n times.
std::string Spaces(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += "\x81\x40";
  return s;
}

void MakeInfoFile(const std::string& fileName) {
  std::filesystem::create_directories(WorkPath("FILEINFO"));
  test::WriteBytes(WorkPath("FILEINFO/INF_" + fileName), "HEAD\r\n");
}

std::string Counts(int lines, int valid, int comments) {
  return Crlf("[LINE COUNT]\n" + std::to_string(lines) + "\n[LINE COUNT V]\n" +
              std::to_string(valid) + "\n[COMMNET]\n" + std::to_string(comments) + "\n");
}

TEST_F(BodyTest, SmallFunctionGivesItsFilesByteForByte) {
  MakeInfoFile("f.c");
  test::HeadOptions options;
  options.arguments = {"int\ta"};
  std::string source = Sj(
      "int f(int a) {\n"
      "    /* note */\n"
      "    if (a) {\n"
      "\tg(a);\n"
      "    }\n"
      "\n"
      "    // 終了\n"
      "    return a;\n"
      "}\n");
  ASSERT_EQ(AnalyzeSource(source, options).result, 1);

  std::string space = Spaces(1);
  EXPECT_EQ(WorkFile("HTML/f.html"),
            "<BODY bgcolor=#CCFFFF><font size='2'>int" + space + "f" + space + "(" + space + "int" +
                space + "a" + space + ")" + space + "{" + space + "<BR>" + "<BR>" +
                "<font color='#0000ff'>/* note */</font><BR>" + Spaces(4) + "if" + space + "(a)" +
                space + "{<BR>" + Spaces(8) + "g(a)<A href= g.html>" + Sj("◆") + "</A>;<BR>" +
                Spaces(4) + "}<BR>" + "<BR>" + "<font color='#0000ff'>" + Sj("// 終了") +
                "</font><BR>" + Spaces(4) + "return" + space + "a;<BR>" + "}");
  EXPECT_EQ(WorkFile("SOURCE/f"), Crlf("[SOURCE]\n"
                                       "int f ( int a ) { \n"
                                       "\n"
                                       "/* note */\n"
                                       " if (a) {\n"
                                       " g(a);\n"
                                       " }\n" +
                                       Sj("// 終了") +
                                       "\n"
                                       " return a;\n"
                                       "}"));
  EXPECT_EQ(WorkFile("SOURCE2/f"), Crlf("a\nag(a)\n"));
  EXPECT_EQ(WorkFile("func_als/f"),
            Crlf(kTagFolderName + "\nSRC\n\n" + kTagFileName + "\nf.c\n\n" + kTagFunctionName +
                 "\nf\n\n" + kTagArguments + "\nint\ta\n\n" + kTagTemporaries + "\nNONE\n\n" +
                 kTagCallees + "\ng(a)\n\n" + kTagReads + "\na\na\n\n" + kTagWrites +
                 "\nNONE\n\n" + kTagReturnValues + "\na\n\n" + kTagAccesses +
                 "\na [R]\na [R]\na [RET]\n\n"));
  EXPECT_EQ(WorkFile("HTML/g.html"), "Not Found Function");
  EXPECT_EQ(WorkFile("FILEINFO/INF_f.c"), "HEAD\r\n" + Counts(8, 3, 2));
}

// The page escapes "&", "<" and ">" of every text it takes from the source:
// the head, code, comments (whole and over lines) and literals; the source
// copy keeps them as they are.
TEST_F(BodyTest, SourceTextIsEscapedOnThePageAndKeptInTheCopy) {
  // No line starts with a blank, so the copy holds the body lines as they are.
  const std::string body =
      "if (a<b) x = a&b;\n"
      "/* x<y && y>z */\n"
      "/* <script>alert(1)</script> */\n"
      "/* <!--\n"
      "--> &lt; */\n"
      "s = \"&amp;\";\n"
      "t = \"表<示>&ソ\";\n";
  std::string source = Sj(("int f(char v[A<<1]) {\n" + body + "}\n").c_str());
  ASSERT_EQ(AnalyzeSource(source).result, 1);
  const std::string s = Spaces(1), blue = "<font color='#0000ff'>";
  // Tokens after a blank follow one U+3000; the head tokens are each followed by one.
  auto spaced = [&](std::initializer_list<const char*> tokens) {
    std::string out;
    for (const char* t : tokens) out += t + s;
    return out;
  };
  EXPECT_EQ(WorkFile("HTML/f.html"),
            kPageHead + spaced({"int", "f", "(", "char", "v", "[", "A", "&lt;&lt;", "1", "]", ")", "{"}) +
                "<BR><BR>" + Spaces(4) + "if" + s + "(a&lt;b)" + s + "x" + s + "=" + s + "a&amp;b;<BR>" +
                blue + "/* x&lt;y &amp;&amp; y&gt;z */</font><BR>" +
                blue + "/* &lt;script&gt;alert(1)&lt;/script&gt; */</font><BR>" +
                blue + Spaces(4) + "/* &lt;!--<BR>" + Spaces(4) + "--&gt;" + s + "&amp;lt;</font>" + s + "*/<BR>" +
                Spaces(4) + "s" + s + "=" + s + "\"&amp;amp;\";<BR>" +
                Spaces(4) + "t" + s + "=" + s + Sj("\"表&lt;示&gt;&amp;ソ\";") + "<BR>}");
  EXPECT_EQ(WorkFile("SOURCE/f"), Crlf(Sj(("[SOURCE]\nint f ( char v [ A << 1 ] ) { \n\n" + body + "}").c_str())));
}

TEST_F(BodyTest, CountsOfTheAppendedInformation) {
  const struct {
    const char* name;
    const char* source;
    std::string counts;
  } cases[] = {
      {"only the closing brace", "void f(void) {\n}\n", Counts(1, 0, 0)},
      // The start token and the two lines read while the comment is open;
      // the words inside the comment count their lines as valid.
      {"block comment over three lines", "void f(void) {\n/* a\n b\n c */\n}\n", Counts(4, 2, 3)},
      {"empty and brace lines", "void f(void) {\n\n  {\n  x = 1;\n  }\n}\n", Counts(5, 1, 0)},
      {"statement on the head line", "void f(void) { x = 1; }\n", Counts(0, 0, 0)},
      // "} else {" is reset by its "}" before "else" could count the line.
      {"else after a closing brace", "void f(void) {\nif (a) {\n} else {\n}\n}\n", Counts(4, 1, 0)},
  };
  for (const auto& c : cases) {
    MakeInfoFile("f.c");
    AnalyzeSource(c.source);
    EXPECT_EQ(WorkFile("FILEINFO/INF_f.c"), "HEAD\r\n" + c.counts) << c.name;
  }
}

TEST_F(BodyTest, MissingInformationFolderSkipsTheCounts) {
  EXPECT_EQ(AnalyzeSource("void f(void) {\n}\n").result, 1);
  EXPECT_FALSE(std::filesystem::exists(WorkPath("FILEINFO")));
  EXPECT_FALSE(WorkFile("func_als/f").empty());
}

TEST_F(BodyTest, CalleePlaceholderIsCoveredByTheRealPage) {
  AnalyzeSource("void f(void) {\ng();\n}\n");
  EXPECT_EQ(WorkFile("HTML/g.html"), "Not Found Function");
  AnalyzeSource("void g(void) {\n}\n");
  EXPECT_EQ(WorkFile("HTML/g.html"), "<BODY bgcolor=#CCFFFF><font size='2'>void" + Spaces(1) + "g" +
                                         Spaces(1) + "(" + Spaces(1) + "void" + Spaces(1) + ")" +
                                         Spaces(1) + "{" + Spaces(1) + "<BR><BR>}");
  // An existing page is left alone.
  AnalyzeSource("void h(void) {\ng();\n}\n");
  EXPECT_EQ(WorkFile("HTML/g.html").substr(0, 6), "<BODY ");
}

TEST_F(BodyTest, LaterFunctionOfTheSameNameReplacesTheFilesWhole) {
  AnalyzeSource("void f(void) {\n  int a, b, c;\n  x = y + z;\n  g(x);\n}\n");
  std::string longPage = WorkFile("HTML/f.html");
  AnalyzeSource("void f(void) {\n}\n");
  EXPECT_EQ(WorkFile("func_als/f"),
            Crlf(kTagFolderName + "\nSRC\n\n" + kTagFileName + "\nf.c\n\n" + kTagFunctionName +
                 "\nf\n\n" + kTagArguments + "\nvoid\n\n" + kTagTemporaries + "\nNONE\n\n" +
                 kTagCallees + "\nNONE\n\n" + kTagReads + "\nNONE\n\n" + kTagWrites +
                 "\nNONE\n\n" + kTagReturnValues + "\nNONE\n\n" + kTagAccesses + "\nNONE\n\n"));
  EXPECT_LT(WorkFile("HTML/f.html").size(), longPage.size());
  EXPECT_EQ(WorkFile("SOURCE/f"), Crlf("[SOURCE]\nvoid f ( void ) { \n\n}"));
  EXPECT_EQ(WorkFile("SOURCE2/f"), "");
  EXPECT_EQ(LogText(), Sj("プログラム解析 ") + "f : DUPLICATE FUNCTION input.c\r\n");
}

TEST_F(BodyTest, UsedNamesLeftAtTheBodyEndGoToTheirOwnFunction) {
  AnalyzeSource("void f(void) {\n  x = a\n}\n");
  AnalyzeSource("void g(void) {\n  y;\n}\n");
  EXPECT_EQ(WorkFile("SOURCE2/f"), Crlf("=x\n"));
  EXPECT_EQ(WorkFile("SOURCE2/g"), Crlf("y\n"));
}

TEST_F(BodyTest, UsedNamesOfEachStatement) {
  AnalyzeSource("void f(void) {\n  x = a + b;\n  return c;\n  ;\n  i++;\n}\n");
  // Operator tokens first, then the spans the setters record; a return
  // value is not a used name.
  EXPECT_EQ(WorkFile("SOURCE2/f"), Crlf("=x+ab\n++i\n"));
}

TEST_F(BodyTest, DeepBracesUseNoIndentation) {
  std::string source = "void f(void) {\n";
  for (int i = 0; i < 25; ++i) source += "{\n";
  source += "x = 1;\n";
  for (int i = 0; i < 25; ++i) source += "}\n";
  source += "}\n";
  ASSERT_EQ(AnalyzeSource(source).result, 1);
  std::string page = WorkFile("HTML/f.html");
  // "{" lines 1 to 9 open depths 2 to 10; depth 11 and beyond have no entry.
  EXPECT_NE(page.find("<BR>" + Spaces(40) + "{<BR>{<BR>"), std::string::npos);
  EXPECT_NE(page.find("<BR>x" + Spaces(1) + "=" + Spaces(1) + "1;<BR>}<BR>"), std::string::npos);
  EXPECT_EQ(page.find(Spaces(41)), std::string::npos);
}

TEST_F(BodyTest, HashLineHasNoIndentation) {
  AnalyzeSource("void f(void) {\n    #pragma x\n    y;\n}\n");
  EXPECT_EQ(WorkFile("HTML/f.html").substr(kPageHead.size()),
            "void" + Spaces(1) + "f" + Spaces(1) + "(" + Spaces(1) + "void" + Spaces(1) + ")" +
                Spaces(1) + "{" + Spaces(1) + "<BR><BR>#pragma" + Spaces(1) + "x<BR>" + Spaces(4) +
                "y;<BR>}");
  EXPECT_EQ(WorkFile("SOURCE/f"), Crlf("[SOURCE]\nvoid f ( void ) { \n\n #pragma x\n y;\n}"));
}

TEST_F(BodyTest, CommentsAreBlueOverTheirWholeExtent) {
  AnalyzeSource("void f(void) {\n  x = 1; /* a\n  b */ y = 2;\n}\n");
  std::string page = WorkFile("HTML/f.html");
  std::string s = Spaces(1);
  // The colour tags come before the token's own indentation.
  EXPECT_NE(page.find("1;<font color='#0000ff'>" + s + "/* a<BR>" + Spaces(4) + "b</font>" + s +
                      "*/" + s + "y"),
            std::string::npos);
  EXPECT_EQ(WorkFile("SOURCE/f"), Crlf("[SOURCE]\nvoid f ( void ) { \n\n x = 1; /* a\n b */ y = 2;\n}"));
}

}  // namespace
}  // namespace vandrel
