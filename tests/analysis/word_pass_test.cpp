#include "analysis/word_pass.h"

#include "analysis/typedef_pass.h"

#include "analysis/walker_test_support.h"
#include "reader/token_kind.h"

namespace vandrel::test {
namespace {

using Lines = std::vector<std::string>;

// The lines of an INF_ file that the word pass writes: the head and every
// "[FUNCNAME]" with its name (the body analysis adds its counts between).
Lines InfoEntries(const Lines& lines) {
  Lines out;
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    if (lines[i] == "[DOM]" || lines[i] == "[FILENAME]" || lines[i] == "[FUNCNAME]") {
      out.push_back(lines[i]);
      out.push_back(lines[++i]);
    }
  }
  return out;
}

// Tab-joined line from blank-separated tokens, for readable expectations.
std::string T(const std::string& spaced) {
  std::string s = spaced;
  for (char& c : s)
    if (c == ' ') c = '\t';
  return s;
}

struct WordCase {
  const char* name;
  const char* source;
  Lines declarations;  // F_x.c
  Lines prototypes;    // FuncList_ProtType.txt
  Lines heads;         // FuncList_Body.txt
  Lines globals;       // ValList.txt
  Lines functions;     // "[FUNCNAME]" entries of INF_x.c
  Lines typeNames;     // names registered, in order
};

class WordPassTest : public PassTest, public ::testing::WithParamInterface<WordCase> {};

TEST_P(WordPassTest, WritesTheFileLevelLists) {
  const WordCase& c = GetParam();
  WordAlsFuncltion(Source("top/x.c", c.source));
  EXPECT_EQ(Work("F_x.c"), c.declarations);
  EXPECT_EQ(Work("FuncList_ProtType.txt"), c.prototypes);
  EXPECT_EQ(Work("FuncList_Body.txt"), c.heads);
  EXPECT_EQ(Work("ValList.txt"), c.globals);
  Lines info = {"[DOM]", "TOP", "[FILENAME]", "x.c"};
  for (const std::string& f : c.functions) {
    info.push_back("[FUNCNAME]");
    info.push_back(f);
  }
  EXPECT_EQ(InfoEntries(Work("FILEINFO/INF_x.c")), info);
  EXPECT_EQ(AddedTypeNames(), c.typeNames);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(Log(), "");
}

// Bodies are one line or hold only statements that read as nothing at file
// level, so that these lists do not depend on the body analysis.
const WordCase kWordCases[] = {
    {"Definition", "int main(void) { return 0; }\n", {}, {}, {T("int main ( void ) ")}, {},
     {"main"}, {}},
    {"Prototype", "void f(int a, char *b);\n", {T("void f ( int a , char * b ) ;")},
     {T("void f ( int a , char * b ) ;")}, {}, {}, {}, {}},
    {"StaticGlobal", "static int count;\n", {T("static int count ;")}, {}, {}, {T("static int count ;")},
     {}, {}},
    {"PointerGlobal", "const char *name;\n", {T("const char * name ;")}, {}, {},
     {T("const char * name ;")}, {}, {}},
    {"InitialisedAndListsDropped", "int x = 5;\nint a, b;\nint c;\n", {T("int c ;")}, {}, {},
     {T("int c ;")}, {}, {}},
    {"ArrayGlobal", "int table[10];\nchar grid[2][3];\n", {T("int table [ 10 ] ;"), T("char grid [ 2 ] [ 3 ] ;")},
     {}, {}, {T("int table [ 10 ] ;"), T("char grid [ 2 ] [ 3 ] ;")}, {}, {}},
    // The plain substring test: a name holding "extern" counts too.
    {"ExternTextKeepsOutOfValList", "static int my_extern_count;\nint kept;\n",
     {T("static int my_extern_count ;"), T("int kept ;")}, {}, {}, {T("int kept ;")}, {}, {}},
    {"ExternDeclarationDropped", "extern int e;\n", {}, {}, {}, {}, {}, {}},
    {"UnknownTypeWordRegistered", "MYTYPE g;\n", {T("MYTYPE g ;")}, {}, {}, {T("MYTYPE g ;")}, {},
     {"MYTYPE"}},
    {"UnknownReturnTypeRegistered", "UINT8 get(void) { return 0; }\n", {}, {},
     {T("UINT8 get ( void ) ")}, {}, {"get"}, {"UINT8"}},
    {"ParameterTypesRegistered", "void h(MYPARAM x, struct S *p, const PT q);\n",
     {T("void h ( MYPARAM x , struct S * p , const PT q ) ;")},
     {T("void h ( MYPARAM x , struct S * p , const PT q ) ;")}, {}, {}, {},
     {"MYPARAM", "S", "const", "q"}},
    {"HeadOverSeveralLines", "int\nadd(\n\nint a,\n   \n int b)\n{\n  return a + b;\n}\n", {}, {},
     {T("int add ( int a , int b ) ")}, {}, {"add"}, {}},
    {"NoReturnTypeNotAnalysed", "main() { return 0; }\n", {}, {}, {}, {}, {}, {}},
    {"StructReturnTypeNotAnalysed", "struct S *mk(void) { return 0; }\nunion U mu(void) { }\n",
     {}, {}, {}, {}, {}, {}},
    {"StructVariableLeavesStartState", "struct tag name;\nint after;\n", {T("int after ;")}, {},
     {}, {T("int after ;")}, {}, {}},
    {"StructBodyRegistersTag", "struct S { int a; } s;\nint after;\n", {T("int after ;")}, {},
     {}, {T("int after ;")}, {}, {"S"}},
    {"StaticStructGlobal", "static struct S s;\n", {T("static struct S s ;")}, {}, {},
     {T("static struct S s ;")}, {}, {"S"}},
    {"StaticStructBodyWithoutTag", "static struct { int a; } sv;\n",
     {T("static struct { int a ; } sv ;")}, {}, {}, {T("static struct { int a ; } sv ;")}, {},
     {}},
    {"StaticStructBodyWithTagRegistersName", "static struct ST { int a; } tv;\n", {}, {}, {}, {},
     {}, {"ST", "tv"}},
    {"StructAfterTypeRegistersName", "const struct CS { int a; } cv;\n", {}, {}, {}, {}, {},
     {"CS", "cv"}},
    {"TypedefStruct", "typedef struct tag { int a; } NAME, *PNAME;\n", {}, {}, {}, {}, {},
     {"tag", "PNAME"}},
    {"TypedefOfTypeName", "typedef int MYINT;\nMYINT v;\n", {T("MYINT v ;")}, {}, {},
     {T("MYINT v ;")}, {}, {"MYINT"}},
    {"TypedefUnknownTag", "typedef struct S2 T2;\n", {}, {}, {}, {}, {}, {"S2", "T2"}},
    {"Defines", "#define MAX 10\n#define M(a) \\\n  ((a) + 1)\n#include <x.h>\nint after;\n",
     {T("int after ;")}, {}, {}, {T("int after ;")}, {}, {}},
    {"Comments", "int /* c */ x; // t\nint f(/* a\n b */ int a);\n", {T("int x ;"), T("int f ( int a ) ;")},
     {T("int f ( int a ) ;")}, {}, {T("int x ;")}, {}, {}},
    {"PrototypeAndDefinition",
     "static int twice(int v);\nstatic int twice(int v) { return v * 2; }\nint g;\n",
     {T("static int twice ( int v ) ;"), T("int g ;")}, {T("static int twice ( int v ) ;")},
     {T("static int twice ( int v ) ")}, {T("int g ;")}, {"twice"}, {}},
    {"RestOfDefinitionLineIgnored", "int a(void) { return 0; } int b;\nint c;\n", {T("int c ;")},
     {}, {T("int a ( void ) ")}, {T("int c ;")}, {"a"}, {}},
    {"EnumStatementsIgnored", "enum E { A, B };\nint e;\n", {T("int e ;")}, {}, {},
     {T("int e ;")}, {}, {}},
    {"StatementAtEndOfFile", "int last", {}, {}, {}, {}, {}, {}},
};

std::string CaseName(const ::testing::TestParamInfo<WordCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Statements, WordPassTest, ::testing::ValuesIn(kWordCases), CaseName);

class WordPassRunTest : public PassTest {};

TEST_F(WordPassRunTest, ListsCollectTheRunAndFilesCollectTheirOwn) {
  WordAlsFuncltion(Source("p/a.c", "int a1;\nvoid fa(void);\nint ga(void) { return 0; }\n"));
  WordAlsFuncltion(Source("p/b.c", "int b1;\nvoid fb(void);\n"));
  EXPECT_EQ(Work("F_a.c"), (Lines{T("int a1 ;"), T("void fa ( void ) ;")}));
  EXPECT_EQ(Work("F_b.c"), (Lines{T("int b1 ;"), T("void fb ( void ) ;")}));
  EXPECT_EQ(Work("ValList.txt"), (Lines{T("int a1 ;"), T("int b1 ;")}));
  EXPECT_EQ(Work("FuncList_ProtType.txt"), (Lines{T("void fa ( void ) ;"), T("void fb ( void ) ;")}));
  EXPECT_EQ(InfoEntries(Work("FILEINFO/INF_b.c")), (Lines{"[DOM]", "P", "[FILENAME]", "b.c"}));
}

// Two files of the same name in different folders: the second one's lines
// follow the first one's in the shared F_ and INF_ files.
TEST_F(WordPassRunTest, SameFileNameInTwoFoldersSharesTheFiles) {
  WordAlsFuncltion(Source("one/util.c", "int first_long_name_here;\nint u1(void) { return 1; }\n"));
  WordAlsFuncltion(Source("two/util.c", "int s;\nint u2(void) { return 2; }\n"));
  EXPECT_EQ(Work("F_util.c"), (Lines{T("int first_long_name_here ;"), T("int s ;")}));
  EXPECT_EQ(InfoEntries(Work("FILEINFO/INF_util.c")),
            (Lines{"[DOM]", "ONE", "[FILENAME]", "util.c", "[FUNCNAME]", "u1", "[DOM]", "TWO",
                   "[FILENAME]", "util.c", "[FUNCNAME]", "u2"}));
}

TEST_F(WordPassRunTest, FolderNameIsUpperCasedWithDoubleByteCharactersKept) {
  std::string folder = Sj("ソース_dir");
  WordAlsFuncltion(Source(folder + "/x.c", "int v;\n"));
  EXPECT_EQ(InfoEntries(Work("FILEINFO/INF_x.c")),
            (Lines{"[DOM]", Sj("ソース_DIR"), "[FILENAME]", "x.c"}));
}

TEST_F(WordPassRunTest, TracesTheLastLineAndState) {
  WordAlsFuncltion(Source("x.c", "int v;\nstatic int\n  w;\n"));
  EXPECT_EQ(g_wordPassTrace1, "  w;\n");
  EXPECT_EQ(g_wordPassTrace2, "2");
  EXPECT_EQ(g_lineCounter, 3);
}

struct OpenFailure {
  const char* blocked;  // made a folder, so that it cannot be opened as a file
  const char* message;
  Lines created;        // the files that exist afterwards
};

TEST_F(WordPassRunTest, OpenFailuresShowTheirMessageWithThePath) {
  const OpenFailure failures[] = {
      {"vcwk012345/F_x.c", "ファイル開けず", {}},
      {"vcwk012345/FuncList_ProtType.txt", "関数リスト開けず", {"F_x.c"}},
      {"vcwk012345/FuncList_Body.txt", "関数リスト開けず", {"F_x.c", "FuncList_ProtType.txt"}},
      {"vcwk012345/ValList.txt", "変数リスト作成失敗",
       {"F_x.c", "FuncList_ProtType.txt", "FuncList_Body.txt"}},
      {"vcwk012345/FILEINFO", "FILE INFOファイル作成失敗",
       {"F_x.c", "FuncList_ProtType.txt", "FuncList_Body.txt", "ValList.txt"}},
  };
  std::string path = Source("x.c", "int v;\nint f(void) { return 0; }\n");
  for (const OpenFailure& f : failures) {
    std::filesystem::remove_all("vcwk012345");
    std::filesystem::create_directories("vcwk012345/FILEINFO");
    std::filesystem::remove_all(f.blocked);
    if (std::string(f.blocked) != "vcwk012345/FILEINFO") std::filesystem::create_directories(f.blocked);
    host.boxes.clear();
    WordAlsFuncltion(path);
    EXPECT_EQ(host.BoxTexts(), Lines{Sj(f.message) + path}) << f.blocked;
    EXPECT_EQ(host.boxes[0].caption, Sj("終了"));
    for (const std::string& name : f.created) {
      EXPECT_TRUE(std::filesystem::is_regular_file("vcwk012345/" + name)) << name;
      EXPECT_EQ(ReadBytes("vcwk012345/" + name), "") << name;
    }
  }
}

TEST_F(WordPassRunTest, MissingSourceShowsItsPath) {
  WordAlsFuncltion("src/none.c");
  EXPECT_EQ(host.BoxTexts(), Lines{Sj("ファイル開けず") + "src/none.c"});
  EXPECT_FALSE(std::filesystem::exists("vcwk012345/F_none.c"));
}

// "int t[" and 40,000 tokens: the memory message once, the statement
// dropped, the next statement read normally.
std::string OverlongStatement() {
  std::string text = "int t[";
  for (int line = 0; line < 4; ++line) {
    text += "\n";
    for (int i = 0; i < 10000; ++i) text += " 1";
  }
  return text + " ];\nint after;\n";
}

// The entry start for the line in which slot 30,000 was reached.
std::string OverlongEntryStart(int lineCounter) {
  std::string trace;
  for (int i = 0; i < 10000; ++i) trace += " 1";
  return "x : " + std::to_string(lineCounter) + " : " + trace + "\r\n : ";
}

TEST_F(WordPassRunTest, OverlongStatementShowsTheMemoryMessageOnceAndIsDropped) {
  g_currentSourceFile = "x";
  WordAlsFuncltion(Source("x.c", OverlongStatement()));
  EXPECT_EQ(host.BoxTexts(), Lines{Sj("メモリオーバー")});
  EXPECT_TRUE(Log() == OverlongEntryStart(4) + Sj("メモリオーバーWordAlsFuncltion15\r\n"));
  EXPECT_EQ(Work("F_x.c"), Lines{T("int after ;")});
}

TEST_F(WordPassRunTest, ExceptionIsLoggedWithTheStateAndThePassReturns) {
  g_currentSourceFile = "x";
  host.onBox = [](const std::string&) { throw std::runtime_error("box"); };
  WordAlsFuncltion(Source("x.c", "int v;\n" + OverlongStatement()));
  EXPECT_TRUE(Log() == OverlongEntryStart(5) + Sj("メモリオーバーWordAlsFuncltion15\r\n") +
                         OverlongEntryStart(5) + Sj("例外発生060-15\r\n"));
  // The files were closed: what was written before stays.
  EXPECT_EQ(Work("F_x.c"), Lines{T("int v ;")});
}

// The parameter texts reach the body analysis, which writes them into the
// function's record ("void" for none).
TEST_F(WordPassRunTest, ParametersReachTheBodyAnalysis) {
  struct Head {
    const char* function;
    Lines arguments;
  };
  const Head heads[] = {
      {"main", {"void"}},
      {"f", {T("int a"), T("char * b")}},
      {"g", {T("S * p"), T("const PT")}},  // "struct" stays out
      {"h", {"void"}},  // a parameter without a name is no entry
  };
  WordAlsFuncltion(Source("x.c",
                          "int main(void) { return 0; }\n"
                          "void f(int a, char *b) { }\n"
                          "void g(struct S *p, const PT q) { }\n"
                          "void h(int) { }\n"));
  for (const Head& h : heads) {
    Lines record = Work(std::string("func_als/") + h.function);
    if (record.empty()) continue;  // no body analysis in this build
    auto at = std::find(record.begin(), record.end(), Sj("[引数定義]"));
    ASSERT_NE(at, record.end()) << h.function;
    EXPECT_EQ(Lines(at + 1, at + 1 + h.arguments.size()), h.arguments) << h.function;
    EXPECT_EQ(at[1 + h.arguments.size()], "") << h.function;
  }
}

TEST_F(WordPassRunTest, ParametersBeyondThirtyAreKept) {
  std::string head = "int many(";
  for (int i = 0; i < 35; ++i) head += (i ? ", int a" : "int a") + std::to_string(i);
  head += ") { return 0; }\n";
  WordAlsFuncltion(Source("x.c", head));
  ASSERT_EQ(Work("FuncList_Body.txt").size(), 1u);
  EXPECT_NE(Work("FuncList_Body.txt")[0].find(T("int a34 ) ")), std::string::npos);
  // The body analysis writes the parameters into the function's record.
  Lines record = Work("func_als/many");
  if (!record.empty()) {
    auto at = std::find(record.begin(), record.end(), Sj("[引数定義]"));
    ASSERT_NE(at, record.end());
    EXPECT_EQ(at[1], T("int a0"));
    EXPECT_EQ(at[35], T("int a34"));
  }
}

// Unbalanced braces, open comments, binary bytes, a file that ends inside
// a statement: the pass ends normally and logs nothing.
TEST_F(WordPassRunTest, AnyInputEndsNormally) {
  std::string binary;
  for (int i = 0; i < 70000; ++i) binary += static_cast<char>((i * 7919 + i / 13) & 0xFF);
  for (const std::string& text :
       {std::string("}}}} {{ int x;\n"), std::string("static struct {\n int a;\n"),
        std::string("/* never closed\nint v;\n"), std::string("int f(int a,\n"),
        std::string("typedef struct { { {\n"), std::string("#define X \\\n"), binary,
        std::string(40000, 'x'), std::string("int\n\n\n")}) {
    WordAlsFuncltion(Source("odd.c", text));
  }
  EXPECT_EQ(Log(), "");
}

}  // namespace
}  // namespace vandrel::test

namespace vandrel::test {
namespace {

// Random statements from the words the two machines react to: every state
// and every slot rule is reached in some order, and nothing may read or
// write outside the token array.
TEST_F(WordPassRunTest, TokenSoupEndsNormallyInBothPasses) {
  const char* words[] = {"typedef", "struct", "union", "enum", "static", "const", "unsigned",
                         "signed", "int", "char", "void", "BOOL", "MYT", "name", "x", "{", "}",
                         "(", ")", "[", "]", ";", ",", "*", "=", "5", "0x1F", "#", "define",
                         "\\", "/*", "*/", "//c", "extern", "\n", "\n\n", " "};
  unsigned seed = 12345;
  for (int file = 0; file < 200; ++file) {
    std::string text;
    for (int i = 0; i < 300; ++i) {
      seed = seed * 1103515245u + 12345u;
      text += words[(seed >> 16) % (sizeof words / sizeof *words)];
      text += ' ';
    }
    std::string path = Source("soup.c", text);
    ExtractTypeDefinitions(path);
    WordAlsFuncltion(path);
  }
  EXPECT_EQ(Log().find(Sj("例外発生")), std::string::npos);
}

}  // namespace
}  // namespace vandrel::test
