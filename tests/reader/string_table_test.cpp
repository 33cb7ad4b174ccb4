#include "reader/string_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reader/token_kind.h"
#include "reader/vocabulary.h"
#include "run/analysis_log.h"
#include "test_support.h"
#include "reader/type_name_guard.h"

namespace vandrel {
namespace {

using Names = std::vector<std::string>;

class StringTableTest : public test::TempDirTest {
 protected:
  // The log as written: CR LF line ends.
  std::string Log() const { return test::ReadBytes(kAnalyzeLogPath); }

 private:
  test::TypeNameTableGuard guard_;
};

TEST_F(StringTableTest, AddTypeNameFindsTheFirstIndexOrTakesTheSentinelSlot) {
  ResetTypeNameTable();
  EXPECT_EQ(AddTypeName("long"), 3);
  EXPECT_EQ(CountTypeNames(), 6);
  EXPECT_EQ(AddTypeName("MyType"), 6);
  EXPECT_EQ(AddTypeName("Other"), 7);
  EXPECT_EQ(AddTypeName("MyType"), 6);
  EXPECT_EQ(AddTypeName("mytype"), 8);  // exact, case-sensitive
  EXPECT_EQ(CountTypeNames(), 9);
  EXPECT_EQ(g_typeNameTable.Names(),
            (Names{"BOOL", "char", "short", "long", "void", "int", "MyType", "Other", "mytype"}));
}

TEST_F(StringTableTest, ResetKeepsOnlyTheBaseTypes) {
  ResetTypeNameTable();
  AddTypeName("A");
  AddTypeName("B");
  ResetTypeNameTable();
  EXPECT_EQ(CountTypeNames(), 6);
  EXPECT_EQ(g_typeNameTable.Names(), (Names{"BOOL", "char", "short", "long", "void", "int"}));
  EXPECT_EQ(AddTypeName("B"), 6);  // stood in slot 7 before the reset
  EXPECT_EQ(ClassifyToken("A"), kKindOther);
  EXPECT_EQ(ClassifyToken("B"), kKindTypeName);
}

TEST_F(StringTableTest, FindOrAddAndIndexOrAdd) {
  StringTable table({"x", "y"});
  EXPECT_EQ(FindOrAddName("y", table), 1);
  EXPECT_EQ(FindOrAddName("z", table), 0);
  EXPECT_EQ(FindOrAddName("z", table), 1);
  EXPECT_EQ(IndexOfOrAddName("z", table), 2);
  EXPECT_EQ(IndexOfOrAddName("w", table), 3);
  EXPECT_EQ(IndexOfOrAddName("x", table), 0);
  EXPECT_EQ(CountTable(table), 4);
  EXPECT_EQ(table.Names(), (Names{"x", "y", "z", "w"}));
}

TEST_F(StringTableTest, TheUsedPartEndsAtTheSentinel) {
  EXPECT_EQ(CountTable(StringTable({"@1END", "a"})), 0);
  EXPECT_EQ(CountTable(StringTable({"a", "b", "@1END", "c"})), 2);
  EXPECT_EQ(CountTable(StringTable()), 0);

  StringTable table({"a", "b", "@1END", "c"});
  EXPECT_EQ(table.Find("c"), -1);
  EXPECT_EQ(IndexOfOrAddName("c", table), 2);
}

TEST_F(StringTableTest, TheSentinelTextIsFoundAtTheSentinelSlot) {
  StringTable table({"a", "b"});
  EXPECT_EQ(IndexOfOrAddName("@1END", table), 2);
  EXPECT_EQ(FindOrAddName("@1END", table), 1);
  EXPECT_EQ(CountTable(table), 2);
  EXPECT_EQ(IndexOfOrAddName("c", table), 2);
}

TEST_F(StringTableTest, TheFirstOfEqualEntriesWins) {
  StringTable table({"a", "b", "a"});
  EXPECT_EQ(CountTable(table), 3);
  EXPECT_EQ(IndexOfOrAddName("a", table), 0);
  table.Truncate(2);
  EXPECT_EQ(table.Find("a"), 0);
  table.Truncate(0);
  EXPECT_EQ(table.Find("a"), -1);
  EXPECT_EQ(IndexOfOrAddName("b", table), 0);
}

// The type-name table takes tens of thousands of names, each keeping its
// first index; a reset drops them all.
TEST_F(StringTableTest, TypeNameTableTakesEveryName) {
  ResetTypeNameTable();
  for (int i = CountTypeNames(); i < 20006; ++i) {
    ASSERT_EQ(AddTypeName("T" + std::to_string(i)), i);
  }
  EXPECT_EQ(AddTypeName("T2499"), 2499);
  EXPECT_EQ(AddTypeName("Extra"), 20006);
  EXPECT_EQ(FindOrAddName("T20005", g_typeNameTable), 1);
  EXPECT_EQ(IndexOfOrAddName("@1END", g_typeNameTable), 20007);
  EXPECT_EQ(CountTypeNames(), 20007);
  for (const char* name : {"T2498", "T2499", "T20005", "Extra"}) {
    EXPECT_EQ(ClassifyToken(name), kKindTypeName) << name;
    EXPECT_EQ(ClassifyTokenNoArrow(name), kKindTypeName) << name;
  }
  EXPECT_EQ(Log(), "");

  ResetTypeNameTable();
  EXPECT_EQ(CountTypeNames(), 6);
  EXPECT_EQ(ClassifyToken("T20005"), kKindOther);
  EXPECT_EQ(AddTypeName("T20005"), 6);
}

}  // namespace
}  // namespace vandrel
