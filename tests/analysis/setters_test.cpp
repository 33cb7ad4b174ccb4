// The access list setters, the unity access table and its limits.
#include "analysis/access_setters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/body_fixture.h"
#include "analysis/body_texts.h"

namespace vandrel {
namespace {

using test::BodyTest;
using test::Crlf;
using test::LogText;
using test::Sj;
using test::WorkFile;
using Tokens = std::vector<std::string>;

std::vector<std::string> UnityEntries() {
  return {g_unityValTable.begin(), g_unityValTable.begin() + g_unityValCount};
}
std::vector<std::string> UsedNames() {
  return {g_usedNameTable.begin(), g_usedNameTable.begin() + g_usedNameCount};
}

TEST_F(BodyTest, SettersAssignTheSlotAndFillTheTables) {
  Tokens tokens = {"unsigned", "long", "x", "p", "->", "y"};
  std::string slot = "old";
  SetValList(slot, tokens, 0, 1, 2, 2);
  EXPECT_EQ(slot, "unsigned\tlong\tx\n");
  SetRValList(slot, tokens, 3, 5);
  EXPECT_EQ(slot, "p->y\n");
  SetWValList(slot, tokens, 2, 2);
  EXPECT_EQ(slot, "x\n");
  SetRetValList(slot, tokens, 3, 3);
  EXPECT_EQ(slot, "p\n");
  SetFuncList(slot, tokens, 4, 3);  // start above end: the empty span
  EXPECT_EQ(slot, "\n");
  EXPECT_EQ(UnityEntries(), (std::vector<std::string>{"p->y [R]\n", "x [w]\n", "p [RET]\n"}));
  // A return value is not a used name; a temporary touches no table.
  EXPECT_EQ(UsedNames(), (std::vector<std::string>{"p->y", "x", ""}));
  EXPECT_EQ(LogText(), "");
}

TEST_F(BodyTest, UnityTableLimits) {
  Tokens tokens = {"v"};
  std::string slot;
  const std::string over = Crlf(" : 0 : " + kMsgUnityValOver + " : -\n");

  g_unityValCount = 1998;
  SetWValList(slot, tokens, 0, 0);  // the 1999th access
  EXPECT_EQ(LogText(), "");
  SetRValList(slot, tokens, 0, 0);  // the 2000th, a read: no message
  EXPECT_EQ(LogText(), "");
  SetWValList(slot, tokens, 0, 0);  // a write with 2000 stored: logged and stored
  SetRetValList(slot, tokens, 0, 0);
  EXPECT_EQ(LogText(), "SetWValList" + over + "SetRetValList" + over);
  EXPECT_EQ(g_unityValCount, 2002);
  EXPECT_EQ(g_unityValTable[2001], "v [RET]\n");

  std::filesystem::remove("AnalyzeLog.txt");
  g_unityValCount = kUnityValSlots;
  g_unityValTable[kUnityValSlots - 1] = "last [R]\n";
  SetRValList(slot, tokens, 0, 0);
  SetWValList(slot, tokens, 0, 0);
  EXPECT_EQ(LogText(), "SetRValList" + over + "SetWValList" + over);
  EXPECT_EQ(g_unityValCount, kUnityValSlots);
  EXPECT_EQ(g_unityValTable[kUnityValSlots - 1], "last [R]\n");
  EXPECT_EQ(slot, "v\n");  // the row still gets the entry
}

TEST_F(BodyTest, SetterExceptionsAreLoggedAndSwallowed) {
  const Tokens tokens = {"a"};
  std::string slot;
  const struct {
    const char* name;
    int (*call)(std::string&, const Tokens&);
    std::string number;
  } cases[] = {
      {"SetValList", [](std::string& s, const Tokens& t) { return SetValList(s, t, 0, 0, 0, 3); }, "080"},
      {"SetFuncList", [](std::string& s, const Tokens& t) { return SetFuncList(s, t, 0, 3); }, "090"},
      {"SetRValList", [](std::string& s, const Tokens& t) { return SetRValList(s, t, 0, 3); }, "100"},
      {"SetWValList", [](std::string& s, const Tokens& t) { return SetWValList(s, t, 0, 3); }, "110"},
      {"SetRetValList", [](std::string& s, const Tokens& t) { return SetRetValList(s, t, 0, 3); }, "120"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove("AnalyzeLog.txt");
    EXPECT_EQ(c.call(slot, tokens), 1) << c.name;
    EXPECT_EQ(LogText(), std::string(c.name) + " : 0 : " + Sj("例外発生") + c.number + " : -\r\n");
  }
  EXPECT_EQ(g_unityValCount, 0);
}

TEST_F(BodyTest, AccessSectionOfABodyStopsAt5000) {
  std::string source = "void f(void) {\n";
  for (int i = 0; i < 5001; ++i) source += "a;\n";
  source += "}\n";
  test::AnalyzeSource(source);
  std::string record = WorkFile("func_als/f");
  std::string accesses;
  for (int i = 0; i < 5000; ++i) accesses += "a [R]\r\n";
  EXPECT_NE(record.find(Crlf(kTagAccesses + "\n") + accesses + "\r\n"), std::string::npos);
  std::string reads;
  for (int i = 0; i < 5001; ++i) reads += "a\r\n";
  EXPECT_NE(record.find(Crlf(kTagReads + "\n") + reads + "\r\n"), std::string::npos);
  EXPECT_EQ(LogText(), Crlf("SetRValList : 0 : " + kMsgUnityValOver + " : -\n"));
  // The next function starts with an empty table.
  test::AnalyzeSource("void g(void) {\n  b;\n}\n");
  EXPECT_NE(WorkFile("func_als/g").find(Crlf(kTagAccesses + "\nb [R]\n\n")), std::string::npos);
}

TEST_F(BodyTest, UsedNameTableGrowsPastAThousandNames) {
  std::string statement = "f(";
  for (int i = 0; i < 1500; ++i) statement += "a, ";
  statement += "a);";
  test::AnalyzeSource("void f(void) {\n" + statement + "\n}\n");
  std::string line;
  for (int i = 0; i < 1501; ++i) line += "a";
  std::string call = "f(";
  for (int i = 0; i < 1500; ++i) call += "a,";
  call += "a)";
  EXPECT_EQ(WorkFile("SOURCE2/f"), line + call + "\r\n");
}

}  // namespace
}  // namespace vandrel
