#include "analysis/typedef_pass.h"

#include <algorithm>

#include "analysis/walker_test_support.h"
#include "reader/token_kind.h"

namespace vandrel::test {
namespace {

struct TypedefCase {
  const char* name;
  const char* file;
  const char* source;
  std::vector<std::string> typedefs;     // Typedef.txt
  std::vector<std::string> enumerators;  // DEF/<base>_DEF_C.dat
};

class TypedefPassTest : public PassTest, public ::testing::WithParamInterface<TypedefCase> {};

TEST_P(TypedefPassTest, WritesTypeNamesAndEnumerators) {
  const TypedefCase& c = GetParam();
  std::string path = Source(c.file, c.source);
  ExtractTypeDefinitions(path);
  EXPECT_EQ(Work("Typedef.txt"), c.typedefs);
  std::string base = std::string(c.file).substr(0, std::string(c.file).find('.'));
  EXPECT_EQ(Work("DEF/" + base + "_DEF_C.dat"), c.enumerators);
  // Every name written is a type name from now on, registered once.
  std::vector<std::string> registered;
  for (const std::string& t : c.typedefs) {
    EXPECT_EQ(ClassifyTokenNoArrow(t), kKindTypeName) << t;
    if (std::find(registered.begin(), registered.end(), t) == registered.end())
      registered.push_back(t);
  }
  EXPECT_EQ(AddedTypeNames(), registered);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(Log(), "");
}

const TypedefCase kTypedefCases[] = {
    {"UnsignedBase", "x.c", "typedef unsigned char BYTE;\n", {"BYTE"}, {}},
    {"BaseType", "x.c", "typedef int INT32;\n", {"INT32"}, {}},
    {"BaseTypeWithMore", "x.c", "typedef unsigned long int UL32;\n", {"UL32"}, {}},
    {"NameAliasAndPointer", "x.c", "typedef MYT FLAG, *PFLAG;\n", {"FLAG", "PFLAG"}, {}},
    {"BaseTypeEndsAtFirstName", "x.c", "typedef BOOL FLAG, *PFLAG;\n", {"FLAG"}, {}},
    {"StructBodyNamesNotTag", "x.c", "typedef struct tag { int a; } NAME, *PNAME;\n",
     {"NAME", "PNAME"}, {}},
    {"NestedStructBody", "x.c",
     "typedef struct { struct { int b; } in; int a; } OUTER;\n", {"OUTER"}, {}},
    {"PlainStructTagRestOfLineIgnored", "x.c", "struct S { int a; }; typedef int T;\n", {"S"}, {}},
    {"PlainUnionTag", "x.c", "union U { int a; char b; };\n", {"U"}, {}},
    {"StructVariableWithoutBody", "x.c", "struct S s;\nstruct S;\n", {}, {}},
    {"TypedefOfKnownTag", "x.c", "struct S2 { int a; };\ntypedef struct S2 T2;\n", {"S2", "T2"}, {}},
    {"TypedefOfUnknownTag", "x.c", "typedef struct S3 T3;\n", {}, {}},
    {"KnownTagFunctionPointer", "x.c", "struct S4 { int a; };\ntypedef struct S4 (f)(int);\n",
     {"S4"}, {}},
    {"SignedQualifierName", "x.c", "typedef unsigned const NAME2;\n", {"NAME2"}, {}},
    {"SignedQualifierTypeName", "x.c", "typedef signed const BOOL NAME3;\n", {"NAME3"}, {}},
    {"Enumeration", "x.c", "enum E { A, B = 5, C, D = 0x10 };\n", {"E"},
     {"A\t0", "B\t5", "C\t6", "D\t0x10"}},
    {"TypedefEnumeration", "x.c", "typedef enum { X, Y } T;\n", {"T"}, {"X\t0", "Y\t1"}},
    {"EnumeratorNamedValue", "x.c", "enum { P = Q, R };\n", {}, {"R\t0"}},
    {"CounterAfterHexValue", "x.c", "enum { H = 0x10, I };\n", {}, {"H\t0x10", "I\t17"}},
    {"SignedValueWritesNothing", "x.c", "enum { M = -1, N };\n", {}, {"N\t0"}},
    {"DecimalValueLeadingDigits", "x.c", "enum { F = 2.5, G };\n", {}, {"F\t2.5", "G\t3"}},
    // A suffix comes as a token of its own; it is no enumerator.
    {"SuffixIsNoEnumerator", "x.c", "enum { K = 3U, L = 0x1FUL, J };\n", {},
     {"K\t3", "L\t0x1F", "J\t32"}},
    {"NamesAfterEnumBody", "x.c", "typedef enum { Z } ZE, *PZE;\n", {"ZE", "PZE"}, {"Z\t0"}},
    {"EnumTagOfFunction", "x.c", "enum E2 f(void);\n", {"E2"}, {}},
    {"EnumVariable", "x.c", "enum E3 v;\n", {}, {}},
    {"HeaderEnumeratorsGoToCFile", "x.h", "enum { HA, HB };\n", {}, {"HA\t0", "HB\t1"}},
    {"FunctionPointerTypedefDropsLine", "x.c", "typedef int (*FP)(int); typedef int U;\n", {}, {}},
    {"FunctionTypedefDropsLine", "x.c", "typedef BOOL (CB)(void); typedef int U;\nint g;\n", {},
     {}},
    {"DirectiveDropsLine", "x.c", "# typedef int T;\ntypedef int T2;\n", {"T2"}, {}},
    {"CommentsChangeNothing", "x.c",
     "typedef /* c */ struct {\n  /* a } b\n  } */ int a; /* } */\n} /**/ N;\n", {"N"}, {}},
    {"CommentBetweenTypedefAndName", "x.c", "typedef unsigned /* x\n y */ char BYTE;\n",
     {"BYTE"}, {}},
    // A line comment is read as a name.
    {"LineCommentIsAName", "x.c", "typedef int // c\n T;\n", {"// c"}, {}},
    {"SplitOverLines", "x.c", "typedef\n\nunsigned\nchar\n\n BYTE\n;\n", {"BYTE"}, {}},
    {"FunctionBodiesPassedOver", "x.c",
     "int f(int a)\n{\n  if (a) { return 1; }\n  return 0;\n}\ntypedef int T;\n", {"T"}, {}},
    {"TagWrittenEachTime", "x.c", "struct S { int a; };\nstruct S { int b; };\n", {"S", "S"}, {}},
    // Once a type name, a name is no longer kind 7 and is not written again.
    {"TypeNameNotWrittenAgain", "x.c", "typedef int T;\ntypedef int T;\n", {"T"}, {}},
};

std::string CaseName(const ::testing::TestParamInfo<TypedefCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Statements, TypedefPassTest, ::testing::ValuesIn(kTypedefCases), CaseName);

class TypedefPassRunTest : public PassTest {};

TEST_F(TypedefPassRunTest, NameCountsForTheRestOfTheFileAndLaterFilesAndPasses) {
  ExtractTypeDefinitions(Source("a.c", "typedef unsigned char BYTE;\ntypedef struct BYTE B2;\n"));
  ExtractTypeDefinitions(Source("b.c", "typedef struct BYTE B3;\n"));
  EXPECT_EQ(Work("Typedef.txt"), (std::vector<std::string>{"BYTE", "B2", "B3"}));
  EXPECT_EQ(ClassifyToken("BYTE"), kKindTypeName);
}

TEST_F(TypedefPassRunTest, EnumeratorsAppendToTheDefinitionFile) {
  WriteBytes("vcwk012345/DEF/x_DEF_C.dat", "MAX\t\t10\t\r\n");
  ExtractTypeDefinitions(Source("x.c", "enum { A };\n"));
  ExtractTypeDefinitions(Source("sub/x.h", "enum { B };\n"));
  EXPECT_EQ(Work("DEF/x_DEF_C.dat"), (std::vector<std::string>{"MAX\t\t10\t", "A\t0", "B\t0"}));
}

TEST_F(TypedefPassRunTest, ShowsTheFileNameAndTracesTheLastLine) {
  ExtractTypeDefinitions(Source("x.c", "typedef int T;\nint v;\n"));
  EXPECT_EQ(host.statusDetails, std::vector<std::string>{"x.c"});
  EXPECT_EQ(g_typedefPassTrace1, "int v;\n");
  EXPECT_EQ(g_typedefPassTrace2, "start");
  EXPECT_EQ(g_lineCounter, 2);
}

TEST_F(TypedefPassRunTest, LinesOfTheNewlineOnlyKindAreCounted) {
  ExtractTypeDefinitions(Source("x.c", "typedef\n\n\nint T;\n"));
  EXPECT_EQ(g_lineCounter, 4);
  EXPECT_EQ(Work("Typedef.txt"), std::vector<std::string>{"T"});
}

TEST_F(TypedefPassRunTest, MissingSourceShowsItsPath) {
  ExtractTypeDefinitions("src/none.c");
  EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{Sj("ファイル開けず") + "src/none.c"});
  EXPECT_EQ(host.boxes[0].caption, Sj("終了"));
  EXPECT_FALSE(std::filesystem::exists("vcwk012345/Typedef.txt"));
}

TEST_F(TypedefPassRunTest, UnwritableTypeListShowsItsMessage) {
  std::filesystem::create_directories("vcwk012345/Typedef.txt");
  ExtractTypeDefinitions(Source("x.c", "typedef int T;\n"));
  EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{Sj("Typedef.txt作成失敗")});
  EXPECT_EQ(AddedTypeNames(), std::vector<std::string>{});
}

TEST_F(TypedefPassRunTest, UnopenableDefinitionFileLosesOnlyItsLines) {
  std::filesystem::create_directories("vcwk012345/DEF/x_DEF_C.dat");
  ExtractTypeDefinitions(Source("x.c", "typedef enum { A, B } E;\n"));
  EXPECT_EQ(Work("Typedef.txt"), std::vector<std::string>{"E"});
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(TypedefPassRunTest, ExceptionIsLoggedAndThePassReturns) {
  g_currentSourceFile = "x";
  host.onDetail = [](const std::string&) { throw std::runtime_error("status"); };
  ExtractTypeDefinitions(Source("x.c", "typedef int T;\n"));
  EXPECT_EQ(Log(), Sj("x : 0 : start : 例外発生030\r\n"));
}

// A statement longer than any token array, an open comment, a body that
// never closes, binary bytes: the pass ends normally.
TEST_F(TypedefPassRunTest, AnyInputEndsNormally) {
  std::string many = "typedef unsigned long";
  for (int i = 0; i < 4; ++i) {
    many += "\n";
    for (int j = 0; j < 12000; ++j) many += " 1";
  }
  many += " LONGEST;\n";
  ExtractTypeDefinitions(Source("long.c", many));
  EXPECT_EQ(Work("Typedef.txt"), std::vector<std::string>{"LONGEST"});

  std::string binary;
  for (int i = 0; i < 70000; ++i) binary += static_cast<char>((i * 7919 + i / 13) & 0xFF);
  for (const std::string& text :
       {std::string("typedef struct { int a;\n"), std::string("enum { A = \n"),
        std::string("/* never closed\ntypedef int T;\n"), std::string("}}}} {{ typedef"),
        std::string("enum E { A, B"), binary, std::string(40000, 'x')}) {
    ExtractTypeDefinitions(Source("odd.c", text));
  }
  EXPECT_EQ(Log(), "");
}

}  // namespace
}  // namespace vandrel::test
