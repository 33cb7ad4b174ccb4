#include "analysis/subscript_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vandrel {
namespace {

using List = std::vector<std::string>;

struct ScanCase {
  const char* entry;     // the text after the caller's "["
  List references;
  const char* result;
  const char* restOfLine;
};

TEST(SubscriptScannerTest, References) {
  const ScanCase cases[] = {
      {"i]\n", {"i\n"}, "]", "\n"},
      {"i + 1]\n", {"i\n"}, "]", "\n"},
      {"p->idx]\n", {"idx\n"}, "]", "\n"},
      {"b[i]]\n", {"i\n", "b[]\n"}, "", "]\n"},
      {"3]\n", {}, "]", "\n"},
      {"x == y]", {"x\n", "y\n"}, "]", ""},
      {"i + b[j]]", {"i\n", "j\n", "b[]\n"}, "", "]"},
      // The line ends before the closing bracket.
      {"i + 1\n", {"i\n"}, "", ""},
      {"i", {}, "", ""},
  };
  for (const ScanCase& c : cases) {
    LineBuffer line(c.entry);
    List table;  // grows as the scanner stores
    g_referenceCount = 0;
    EXPECT_EQ(ScanSubscriptReferences(line, table), c.result) << c.entry;
    EXPECT_EQ(List(table.begin(), table.begin() + g_referenceCount), c.references) << c.entry;
    EXPECT_EQ(std::string(line.Rest()), c.restOfLine) << c.entry;
  }
}

TEST(SubscriptScannerTest, StoresFromTheCountInTheCallersTable) {
  List table(500);
  table[0] = "kept\n";
  g_referenceCount = 1;
  LineBuffer line("k]");
  EXPECT_EQ(ScanSubscriptReferences(line, table), "]");
  EXPECT_EQ(g_referenceCount, 2);
  EXPECT_EQ(table[0], "kept\n");
  EXPECT_EQ(table[1], "k\n");
  EXPECT_EQ(table.size(), 500u);
}

TEST(SubscriptScannerTest, LongAndDeepSubscriptsEndTheScan) {
  std::string many;
  for (int i = 0; i < 600; ++i) many += "x + ";
  many += "x]";
  List table;
  g_referenceCount = 0;
  LineBuffer longLine(many);
  EXPECT_EQ(ScanSubscriptReferences(longLine, table), "");
  EXPECT_EQ(g_referenceCount, 250);  // the window holds 500 tokens

  LineBuffer deep(std::string(100000, '[') + "i" + std::string(100000, ']'));
  g_referenceCount = 0;
  EXPECT_EQ(ScanSubscriptReferences(deep, table), "");
}

}  // namespace
}  // namespace vandrel
