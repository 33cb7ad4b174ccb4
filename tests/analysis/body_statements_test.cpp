// What each statement shape records: the sections 5 to 10 of func_als/<f>.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/body_fixture.h"
#include "analysis/body_texts.h"
#include "reader/vocabulary.h"

namespace vandrel {
namespace {

using test::BodyTest;
using test::Crlf;
using test::WorkFile;
using List = std::vector<std::string>;

struct Rows {
  List temporaries = {}, callees = {}, reads = {}, writes = {}, returnValues = {}, accesses = {};
};

std::string Section(const std::string& tag, const List& entries) {
  std::string text = tag + "\n";
  if (entries.empty()) text += "NONE\n";
  for (const std::string& e : entries) text += e + "\n";
  return text + "\n";
}

// The whole record of f in SRC/f.c without parameters.
std::string RecordOf(const Rows& r) {
  return Crlf(kTagFolderName + "\nSRC\n\n" + kTagFileName + "\nf.c\n\n" + kTagFunctionName +
              "\nf\n\n" + kTagArguments + "\nvoid\n\n" + Section(kTagTemporaries, r.temporaries) +
              Section(kTagCallees, r.callees) + Section(kTagReads, r.reads) +
              Section(kTagWrites, r.writes) + Section(kTagReturnValues, r.returnValues) +
              Section(kTagAccesses, r.accesses));
}

struct StatementCase {
  const char* name;
  const char* body;
  Rows rows;
};

const StatementCase kCases[] = {
    // Declarations.
    {"declarators and an initialiser", "int a, b = c;",
     {{"int\ta", "int\tb"}, {}, {"c"}, {}, {}, {"c [R]"}}},
    {"initialiser before a declarator", "int a = 0, b;", {{"int\ta", "int\tb"}}},
    {"qualifier and type tokens", "unsigned long x;", {{"unsigned\tlong\tx"}}},
    {"pointer declaration", "char *p;", {{"char\t*\tp"}}},
    {"unknown type", "T v;", {{"T\tv"}}},
    {"local struct members", "struct {\n  int a;\n  char b[4];\n} s;",
     {{"struct int\ta", "struct char\tb[4]"}}},
    {"struct variable is not recorded", "struct tag s;", {}},
    // Statements that begin with a name.
    {"assignment with a comparison", "x = a == b;",
     {{}, {}, {"a==b"}, {"x"}, {}, {"x [w]", "a==b [R]"}}},
    {"plus assign", "x += 2;", {{}, {}, {}, {"x"}, {}, {"x [w]"}}},
    {"times assign written as two tokens", "x *= 2;", {{}, {}, {}, {"x"}, {}, {"x [w]"}}},
    {"divide assign written as two tokens", "x /= y;",
     {{}, {}, {"y"}, {"x"}, {}, {"x [w]", "y [R]"}}},
    {"subscripted write", "a[i] = x;",
     {{}, {}, {"i", "x"}, {"a[i]"}, {}, {"i [R]", "a[i] [w]", "x [R]"}}},
    {"member chain", "p->x = 1;", {{}, {}, {}, {"p->x"}, {}, {"p->x [w]"}}},
    {"increment", "i++;", {{}, {}, {}, {"i"}, {}, {"i [w]"}}},
    {"name alone", "x;", {{}, {}, {"x"}, {}, {}, {"x [R]"}}},
    {"label", "done: x = 1;", {{}, {}, {}, {"x"}, {}, {"x [w]"}}},
    {"call with an expression", "f(x + 1);", {{}, {"f(x+1)"}, {"x+1"}, {}, {}, {"x+1 [R]"}}},
    {"call inside a call argument", "f(g(x));", {{}, {"f(g(x))"}, {"g(x)"}, {}, {}, {"g(x) [R]"}}},
    {"call with two arguments", "f(a, b);",
     {{}, {"f(a,b)"}, {"a", "b"}, {}, {}, {"a [R]", "b [R]"}}},
    {"literal argument", "printf(\"%d\", x);",
     {{}, {"printf(\"%d\",x)"}, {"\"%d\"", "x"}, {}, {}, {"\"%d\" [R]", "x [R]"}}},
    // Other statement starts.
    {"write through a pointer", "*p = x;", {{}, {}, {"x"}, {"*p"}, {}, {"*p [w]", "x [R]"}}},
    {"times assign through a pointer", "*p *= 2;", {{}, {}, {}, {"*p"}, {}, {"*p [w]"}}},
    {"prefix increment", "++p->x;", {{}, {}, {}, {"p->x"}, {}, {"p->x [w]"}}},
    {"void cast of a call", "(void)f(x);", {{}, {"f(x)"}, {"x"}, {}, {}, {"x [R]"}}},
    {"goto waits for its end", "goto out;\nx = 1;", {{}, {}, {}, {"x"}, {}, {"x [w]"}}},
    {"block comment at a statement start", "/* a\nb; */ x = 1;",
     {{}, {}, {}, {"x"}, {}, {"x [w]"}}},
    {"# line", "#pragma pack\nx = 1;", {{}, {}, {}, {"x"}, {}, {"x [w]"}}},
    {"# line continued by a backslash", "#pragma a \\\ny = 1;\nz = 2;",
     {{}, {}, {}, {"z"}, {}, {"z [w]"}}},
    // Right-hand sides.
    {"call in an expression", "y = f(a + b);",
     {{}, {"f(a+b)"}, {"b"}, {"y"}, {}, {"y [w]", "b [R]"}}},
    {"member call in an expression", "x = p->f(a);",
     {{}, {"f(a)"}, {"a"}, {"x"}, {}, {"x [w]", "a [R]"}}},
    {"member arguments", "y = f(p.x, q->z);",
     {{}, {"f(p.x,q->z)"}, {"p.x", "z"}, {"y"}, {}, {"y [w]", "p.x [R]", "z [R]"}}},
    {"cast to a pointer type", "y = (T *)p;", {{}, {}, {"p"}, {"y"}, {}, {"y [w]", "p [R]"}}},
    {"operators end the names", "y = a + b * c;",
     {{}, {}, {"a", "b", "c"}, {"y"}, {}, {"y [w]", "a [R]", "b [R]", "c [R]"}}},
    // Conditions.
    {"if without braces", "if (c) y = 1;", {{}, {}, {"c"}, {}, {}, {"c [R]"}}},
    {"two names in a condition", "if (a && b) {\n}", {{}, {}, {"a", "b"}, {}, {}, {"a [R]", "b [R]"}}},
    {"else if", "if (a) {\n} else if (b) {\n}", {{}, {}, {"a", "b"}, {}, {}, {"a [R]", "b [R]"}}},
    {"call in a condition", "if (f(x) == 1) {\n}", {{}, {"f(x)"}, {"x"}, {}, {}, {"x [R]"}}},
    {"cast in a condition", "if ((T)x) {\n}", {{}, {}, {"x"}, {}, {}, {"x [R]"}}},
    {"decrement in a condition", "while (n--) {\n}",
     {{}, {}, {"n--"}, {"n"}, {}, {"n [w]", "n-- [R]"}}},
    {"do while", "do {\n  x++;\n} while (x < 3);",
     {{}, {}, {"x"}, {"x"}, {}, {"x [w]", "x [R]"}}},
    // for, switch, case.
    {"for clauses", "for (i = 0; i < n; i++) {\n}",
     {{}, {}, {"i", "n"}, {"i", "i"}, {}, {"i [w]", "i [R]", "n [R]", "i [w]"}}},
    {"for without braces skips its statement", "for (;;) x = 1;\ny = 2;",
     {{}, {}, {}, {"y"}, {}, {"y [w]"}}},
    {"switch and case", "switch (k) {\ncase A:\n  break;\n}",
     {{}, {}, {"k", "A"}, {}, {}, {"k [R]", "A [R]"}}},
    // return.
    {"return without a value", "return;", {}},
    {"return expression", "return x + 1;", {{}, {}, {}, {}, {"x+1"}, {"x+1 [RET]"}}},
    {"return of a call", "return f(x);", {{}, {}, {}, {}, {"f(x)"}, {"f(x) [RET]"}}},
    {"return of a parenthesised call", "return (f(x));",
     {{}, {"f(x)"}, {}, {}, {"f(x)"}, {"f(x) [RET]"}}},
    {"return of a parenthesised name", "return (x);", {{}, {}, {}, {}, {"x"}, {"x [RET]"}}},
    {"return of a cast", "return ((int)x);", {{}, {}, {}, {}, {"x"}, {"x [RET]"}}},
};

class BodyStatementTest : public BodyTest, public ::testing::WithParamInterface<StatementCase> {};

TEST_P(BodyStatementTest, Records) {
  const StatementCase& c = GetParam();
  ASSERT_EQ(test::AnalyzeSource(std::string("void f(void) {\n") + c.body + "\n}\n").result, 1);
  EXPECT_EQ(WorkFile("func_als/f"), RecordOf(c.rows)) << c.body;
}

std::string CaseName(const ::testing::TestParamInfo<StatementCase>& param) {
  std::string n = param.param.name;
  for (char& ch : n)
    if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return n;
}

INSTANTIATE_TEST_SUITE_P(Shapes, BodyStatementTest, ::testing::ValuesIn(kCases), CaseName);

TEST_F(BodyTest, CastsAndUnknownTypesBecomeTypeNames) {
  const struct {
    const char* body;
    const char* typeName;
  } cases[] = {{"T v;", "T"}, {"y = (U *)p;", "U"}, {"if ((V)x) {\n}", "V"}};
  for (const auto& c : cases) {
    ASSERT_LT(g_typeNameTable.Find(c.typeName), 0);
    test::AnalyzeSource(std::string("void f(void) {\n") + c.body + "\n}\n");
    EXPECT_GE(g_typeNameTable.Find(c.typeName), 0) << c.body;
  }
  // A registered name opens a declaration from then on (an unknown one
  // would give the single temporary "T", tab, "a,b").
  test::AnalyzeSource("void f(void) {\nT a, b;\n}\n");
  EXPECT_EQ(WorkFile("func_als/f"), RecordOf({{"T\ta", "T\tb"}}));
}

TEST_F(BodyTest, ArgumentsAreListedInOrder) {
  test::HeadOptions options;
  options.arguments = {"int\ta", "char\t*\tb"};
  test::AnalyzeSource("int g(int a, char *b) {\n}\n", options);
  std::string record = WorkFile("func_als/g");
  EXPECT_NE(record.find(Crlf(kTagArguments + "\nint\ta\nchar\t*\tb\n\n" + kTagTemporaries)),
            std::string::npos)
      << record;
}

}  // namespace
}  // namespace vandrel
