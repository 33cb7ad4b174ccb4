#include "prepro/file_prepro.h"

#include <gtest/gtest.h>

#include "prepro/prepro_fixture.h"

namespace vandrel {
namespace {

class FilePreproTest : public test::PreproTest {
 protected:
  // Preprocesses src/f.c holding `text` with the given names defined;
  // returns its copy.
  std::string Copy(const std::string& text, std::vector<const char*> defined = {}) {
    ClearDefineTable();
    for (const char* name : defined) AppendDefine(name, "\t");
    std::filesystem::remove("vcwk012345/DEF/src/f.c");
    Source("src/f.c", text);
    PreprocessFile("src/f.c", 1);
    return Work("DEF/src/f.c");
  }
};

TEST_F(FilePreproTest, BlocksLeaveOutTheirDirectivesAndInactiveLines) {
  struct Case {
    const char* text;
    std::vector<const char*> defined;
    const char* copy;
  } cases[] = {
      {"#ifdef D\na\n#else\nb\n#endif\nc\n", {"D"}, "a\nc\n"},
      {"#ifdef D\na\n#else\nb\n#endif\nc\n", {}, "b\nc\n"},
      {"#ifndef D\na\n#else\nb\n#endif\n", {"D"}, "b\n"},
      {"#ifndef D\na\n#else\nb\n#endif\n", {}, "a\n"},
      // an inactive block keeps its nested branches off, #else and #elif included
      {"#ifdef U1\n#ifndef U2\nx\n#else\ny\n#endif\nz\n#endif\nw\n", {}, "w\n"},
      {"#ifdef U1\n#ifndef U2\nx\n#elif 1\ny\n#endif\n#endif\nw\n", {}, "w\n"},
      // #elif switches on whatever came before; #else inverts what #elif left
      {"#ifdef D\nx\n#elif 1\ny\n#endif\n", {"D"}, "x\ny\n"},
      {"#ifdef D\nx\n#elif 0\ny\n#else\nz\n#endif\n", {"D"}, "x\nz\n"},
      {"#ifdef D\nx\n#elif 1\ny\n#else\nz\n#endif\n", {}, "y\n"},
      {"#if 0\nx\n#elif 1\ny\n#elif 0\nz\n#endif\n", {}, "y\n"},
      {"#if 1\n#ifdef D\nx\n#else\ny\n#endif\n#if 0\nz\n#endif\n#endif\n", {}, "y\n"},
      {"#ifdef D\n#if 1\nx\n#endif\n#ifndef D\ny\n#endif\n#endif\n", {"D"}, "x\n"},
      // other directives: kept where active, dropped where not
      {"#pragma once\n#ifdef D\n#pragma x\n#undef D\n#endif\n", {}, "#pragma once\n"},
      {"#ifdef D\n#pragma x\n#error e\n#endif\n", {"D"}, "#pragma x\n#error e\n"},
      // stray directives outside any block are written
      {"#endif\n#else\n#elif 1\nx\n", {}, "#endif\n#else\n#elif 1\nx\n"},
      // a "#" inside a top-level line starts a directive; inside a block it does not
      {"int a; #ifdef D\nx\n#endif\ny\n", {}, "y\n"},
      {"#ifdef D\nint a; #endif\nx\n#endif\n", {"D"}, "int a; #endif\nx\n"},
      // the rest of an opening line is not written
      {"#ifdef D /* c */\nx\n#endif /* d */\n", {"D"}, "x\n"},
      // a block without #endif ends with the file
      {"#ifdef D\nx\n", {"D"}, "x\n"},
      // the last line keeps its missing line end
      {"a\nb", {}, "a\nb"},
      {"  \n\n", {}, "  \n\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Copy(c.text, c.defined), c.copy) << c.text;
  EXPECT_TRUE(host.boxes.empty());
}

// Nesting takes no stack per level: blocks far deeper than any stack could
// hold in frames are preprocessed whole.
TEST_F(FilePreproTest, DeeplyNestedBlocksArePreprocessedWhole) {
  auto nested = [](const std::string& open, int depth, const std::string& inner) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += open;
    text += inner;
    for (int i = 0; i < depth; ++i) text += "#endif\n";
    return text + "after\n";
  };
  struct Case {
    const char* what;
    std::string text;
    const char* copy;
  } cases[] = {
      {"#ifdef, undefined", nested("#ifdef A\n", 25000, "x\n#else\ny\n"), "after\n"},
      {"#ifdef, defined", nested("#ifdef D\n", 25000, "x\n#else\ny\n"), "x\nafter\n"},
      {"#if 1", nested("#if 1\n", 200000, "x\n#elif 1\ny\n"), "x\ny\nafter\n"},
      {"#if 1 around #if 0", nested("#if 1\n", 200000, nested("#if 0\n", 3, "x\n")), "after\nafter\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(Copy(c.text, {"D"}), c.copy) << c.what;
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(Log(), "");
}

TEST_F(FilePreproTest, ALongLineIsWrittenBackUnchanged) {
  std::string line(2500, 'x');
  line += "\n";
  EXPECT_EQ(Copy(line), line);
  std::string block = "#ifdef D\n" + line + "#endif\n";
  EXPECT_EQ(Copy(block, {"D"}), line);
}

TEST_F(FilePreproTest, DefinitionsInBlocksCountOnlyWhereActive) {
  Copy("#ifdef D\n#define IN 1\n#else\n#define OUT 2\n#endif\n#ifdef IN\nyes\n#endif\n");
  EXPECT_EQ(g_defineNameList, (std::vector<std::string>{"OUT"}));
  EXPECT_EQ(Copy("#if 1\n#define A 1\n#endif\n#ifdef A\nx\n#endif\n"), "#define A 1\nx\n");
}

TEST_F(FilePreproTest, IncludeNextToTheFileGoesToItsIncludeCopy) {
  Source("src/a.h", "int a;\n#define A_VAL 4\n");
  EXPECT_EQ(Copy("#include \"a.h\"\n#ifdef A_VAL\nyes\n#endif\n"), "#include \"a.h\"\nyes\n");
  EXPECT_EQ(Work("DEF/TMP/a.h"), "int a;\n#define A_VAL 4\n");
  EXPECT_EQ(g_defineNameList, (std::vector<std::string>{"A_VAL"}));
}

TEST_F(FilePreproTest, IncludeLinesInsideBlocks) {
  Source("src/a.h", "a\n");
  // an #ifdef block writes the line as it is; an #if block as TAB-joined tokens
  EXPECT_EQ(Copy("#ifdef D\n#include \"a.h\" /* c */\n#endif\n"
                 "#if 1\n  #include \"a.h\" /* c */\n#endif\n"
                 "#if 0\n#include \"a.h\"\n#endif\n"
                 "#if 1\n#include\n#endif\n",
                 {"D"}),
            "#include \"a.h\" /* c */\n#\tinclude\t\"a.h\t/* c */\n#\tinclude\n");
  EXPECT_EQ(Work("DEF/TMP/a.h"), "a\na\n");
}

TEST_F(FilePreproTest, IncludesFoundNowhereAreSkippedSilently) {
  EXPECT_EQ(Copy("#include \"none.h\"\n#include <stdio.h>\n#include\n"),
            "#include \"none.h\"\n#include <stdio.h>\n#include\n");
  EXPECT_TRUE(std::filesystem::is_empty("vcwk012345/DEF/TMP"));
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(Log(), "");
}

TEST_F(FilePreproTest, IncludesAreFoundThroughTheHeaderList) {
  Source("inc/data.h", "data\n");
  Source("inc/a.h", "a\n");
  test::WriteBytes("vcwk012345/DEF/Header_List.txt", "data.h\tinc/data.h\r\na.h\tinc/a.h\r\n");
  // "a.h" is found inside the line of data.h, which comes first
  Copy("#include \"a.h\"\n#include \"ata.h\"\n#include \"inc/a.h\"\n");
  EXPECT_EQ(Work("DEF/TMP/data.h"), "data\ndata\n");
  EXPECT_EQ(Work("DEF/TMP/a.h"), "a\n");
  // the list is read again when it changes
  test::WriteBytes("vcwk012345/DEF/Header_List.txt", "a.h\tinc/a.h\r\n");
  Copy("#include \"a.h\"\n");
  EXPECT_EQ(Work("DEF/TMP/a.h"), "a\na\n");
}

TEST_F(FilePreproTest, AGuardedHeaderIncludedTwiceGivesItsBodyOnce) {
  Source("src/g.h", "/* g */\n#ifndef G_H\n#define G_H\nint g;\n#endif\nend\n");
  EXPECT_EQ(Copy("#include \"g.h\"\n#include \"g.h\"\n"), "#include \"g.h\"\n#include \"g.h\"\n");
  EXPECT_EQ(Work("DEF/TMP/g.h"), "/* g */\n#define G_H\nint g;\nend\n/* g */\nend\n");
  EXPECT_EQ(Log(), "");
}

TEST_F(FilePreproTest, GuardedHeadersThatIncludeEachOtherBehaveAsGuarded) {
  Source("src/a.h", "#ifndef A_H\n#define A_H\n#include \"b.h\"\nint a;\n#endif\nafter a\n");
  Source("src/b.h", "#ifndef B_H\n#define B_H\n#include \"a.h\"\nint b;\n#endif\nafter b\n");
  Copy("#include \"a.h\"\n");
  // an #include line is written after its header has been preprocessed
  EXPECT_EQ(Work("DEF/TMP/a.h"), "#define A_H\nafter a\n#include \"b.h\"\nint a;\nafter a\n");
  EXPECT_EQ(Work("DEF/TMP/b.h"), "#define B_H\n#include \"a.h\"\nint b;\nafter b\n");
  EXPECT_EQ(Log(), "");
}

TEST_F(FilePreproTest, AnIncludeCycleWithoutGuardEndsWithALogLine) {
  Source("src/a.h", "a1\n#include \"b.h\"\na2\n");
  Source("src/b.h", "b1\n#include \"a.h\"\n#include \"a.h\"\nb2\n");
  EXPECT_EQ(Copy("#include \"a.h\"\nmain\n"), "#include \"a.h\"\nmain\n");
  // a.h and b.h may stand twice on the include chain; a third a.h is
  // refused, and so is every a.h while the a.h that met the cycle is open
  EXPECT_EQ(Work("DEF/TMP/a.h"),
            "a1\n"                           // main -> a
            "a1\n#include \"b.h\"\na2\n"     // main -> a -> b -> a
            "#include \"b.h\"\na2\n");       // main -> a
  EXPECT_EQ(Work("DEF/TMP/b.h"),
            "b1\n"
            "b1\n#include \"a.h\"\n#include \"a.h\"\nb2\n"  // both a.h refused
            "#include \"a.h\"\n#include \"a.h\"\nb2\n");      // the second a.h refused
  const std::string refused = "プリプロ解析 t : インクルード循環 src/a.h\n";
  EXPECT_EQ(Log(), refused + refused + refused);
}

TEST_F(FilePreproTest, AnIncludeChainDeeperThanTwoHundredHeadersIsCutWithItsOwnText) {
  // f.c includes h1.h, which includes h2.h, and so on.
  for (int depth : {200, 201}) {
    SCOPED_TRACE(depth);
    std::filesystem::remove_all("vcwk012345/DEF/TMP");
    std::filesystem::create_directories("vcwk012345/DEF/TMP");
    std::filesystem::remove("AnalyzeLog.txt");
    for (int i = 1; i <= depth; ++i) {
      std::string next = i < depth ? "#include \"h" + std::to_string(i + 1) + ".h\"\n" : "";
      Source("src/h" + std::to_string(i) + ".h", next + "int h" + std::to_string(i) + ";\n");
    }
    Copy("#include \"h1.h\"\n");
    EXPECT_EQ(Work("DEF/TMP/h200.h"), (depth == 201 ? "#include \"h201.h\"\n" : "") + std::string("int h200;\n"));
    if (depth == 200) {
      EXPECT_EQ(Log(), "");
    } else {
      EXPECT_FALSE(std::filesystem::exists("vcwk012345/DEF/TMP/h201.h"));
      EXPECT_EQ(Log(), "プリプロ解析 t : インクルード階層OVER src/h201.h\n");
    }
  }
}

TEST_F(FilePreproTest, ASelfIncludeThatKeepsDefiningEnds) {
  Source("src/s.h", "#define S 1\n#include \"s.h\"\n#include \"s.h\"\n");
  Copy("#include \"s.h\"\n");
  // s.h, s.h again, whose two includes are cut; then the outer s.h's
  // second include is cut at once
  EXPECT_EQ(g_defineNameList, (std::vector<std::string>{"S", "S"}));
  std::string log = Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3);
}

TEST_F(FilePreproTest, SameNamedHeadersShareOneIncludeCopyInOrder) {
  Source("src/one/x.h", "one before\n#include \"../two/x.h\"\none after\n");
  Source("src/two/x.h", "two\n");
  Copy("#include \"one/x.h\"\n");
  EXPECT_EQ(Work("DEF/TMP/x.h"), "one before\ntwo\n#include \"../two/x.h\"\none after\n");
}

// An include that repeats the one before it exactly (same header, nothing
// defined since) is made twice more in a source file; past that it is left
// out. Any change of the table between two includes makes them no repeats.
TEST_F(FilePreproTest, ExactRepeatsOfAnIncludeAreMadeTwiceMore) {
  const std::string five = "#include \"r.h\"\n#include \"r.h\"\n#include \"r.h\"\n#include \"r.h\"\n#include \"r.h\"\n";
  struct Case {
    const char* what;
    std::string header, source;
    std::string copy;  // DEF/TMP/r.h
  } cases[] = {
      {"a header five times in a row", "r\n", five, "r\nr\nr\n"},
      {"a new name between the includes", "r\n",
       "#include \"r.h\"\n#define A\n#include \"r.h\"\n#define B\n#include \"r.h\"\n#define C\n"
       "#include \"r.h\"\n#define D\n#include \"r.h\"\n",
       "r\nr\nr\nr\nr\n"},
      {"a header that defines what it defined", "#define R 1\n", five,
       "#define R 1\n#define R 1\n#define R 1\n#define R 1\n"},
      {"a guarded header", "#ifndef R_H\n#define R_H\nr\n#endif\nend\n", five,
       "#define R_H\nr\nend\nend\nend\nend\n"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove("vcwk012345/DEF/TMP/r.h");
    Source("src/r.h", c.header);
    Copy(c.source);
    EXPECT_EQ(Work("DEF/TMP/r.h"), c.copy) << c.what;
  }
  // Each file of the tree starts afresh.
  std::filesystem::remove("vcwk012345/DEF/TMP/r.h");
  Source("src/r.h", "r\n");
  Copy(five);
  Copy(five);
  EXPECT_EQ(Work("DEF/TMP/r.h"), "r\nr\nr\nr\nr\nr\n");
}

TEST_F(FilePreproTest, TheSlotCountOfOneLineShowsMemoryOver) {
  // "#" and its directive name take two slots each
  std::string line = std::string(998, '#') + "\n";
  EXPECT_EQ(Copy(line), line);
  EXPECT_TRUE(host.boxes.empty());
  line = "##" + line;
  EXPECT_EQ(Copy(line), line);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, test::Sj("メモリOVER") + "src/f.c");
  EXPECT_EQ(host.boxes[0].caption, test::Sj("終了"));
}

TEST_F(FilePreproTest, OutputsThatCannotBeOpened) {
  Source("src/a.h", "a\n");
  std::filesystem::remove_all("vcwk012345/DEF/TMP");
  EXPECT_EQ(Copy("#include \"a.h\"\n"), "#include \"a.h\"\n");  // include copy: silent
  EXPECT_TRUE(host.boxes.empty());
  g_defOutputDir = WorkPath("DEF/missing");
  Source("src/f.c", "x\n");
  PreprocessFile("src/f.c", 1);
  EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{test::Sj("Iファイル開けず") + "f.c"});
}

TEST_F(FilePreproTest, TheAbortFlagStopsAtTheNextLine) {
  g_abortRequested = 1;
  EXPECT_EQ(Copy("a\nb\n"), "");
  g_abortRequested = 0;
}

}  // namespace
}  // namespace vandrel
