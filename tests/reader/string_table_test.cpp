#include "reader/string_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pipeline/analysis_log.h"
#include "reader/token_kind.h"
#include "reader/vocabulary.h"
#include "test_support.h"
#include "type_name_guard.h"

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
  StringTable table(10, {"x", "y"});
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
  EXPECT_EQ(CountTable(StringTable(10, {"@1END", "a"})), 0);
  EXPECT_EQ(CountTable(StringTable(10, {"a", "b", "@1END", "c"})), 2);
  EXPECT_EQ(CountTable(StringTable(10)), 0);

  StringTable table(10, {"a", "b", "@1END", "c"});
  EXPECT_EQ(table.Find("c"), -1);
  EXPECT_EQ(IndexOfOrAddName("c", table), 2);
}

TEST_F(StringTableTest, TheSentinelTextIsFoundAtTheSentinelSlot) {
  StringTable table(10, {"a", "b"});
  EXPECT_EQ(IndexOfOrAddName("@1END", table), 2);
  EXPECT_EQ(FindOrAddName("@1END", table), 1);
  EXPECT_EQ(CountTable(table), 2);
  EXPECT_EQ(IndexOfOrAddName("c", table), 2);
}

TEST_F(StringTableTest, TheFirstOfEqualEntriesWins) {
  StringTable table(10, {"a", "b", "a"});
  EXPECT_EQ(CountTable(table), 3);
  EXPECT_EQ(IndexOfOrAddName("a", table), 0);
  table.Truncate(2);
  EXPECT_EQ(table.Find("a"), 0);
  table.Truncate(0);
  EXPECT_EQ(table.Find("a"), -1);
  EXPECT_EQ(IndexOfOrAddName("b", table), 0);
}

TEST_F(StringTableTest, FullTableRefusesWithOneLogLine) {
  StringTable table(3);
  EXPECT_EQ(IndexOfOrAddName("a", table), 0);
  EXPECT_EQ(FindOrAddName("b", table), 0);
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(IndexOfOrAddName("c", table), -1);
  EXPECT_EQ(Log(), test::Sj("プログラム解析 配列OVER : c\r\n"));
  EXPECT_EQ(FindOrAddName("d", table), -1);
  EXPECT_EQ(Log(), test::Sj("プログラム解析 配列OVER : c\r\nプログラム解析 配列OVER : d\r\n"));
  // Names already there are still found.
  EXPECT_EQ(FindOrAddName("b", table), 1);
  EXPECT_EQ(IndexOfOrAddName("a", table), 0);
  EXPECT_EQ(IndexOfOrAddName("@1END", table), 2);
  EXPECT_EQ(table.Names(), (Names{"a", "b"}));
}

TEST_F(StringTableTest, TypeNameTableHoldsAtMost2499Names) {
  ResetTypeNameTable();
  for (int i = CountTypeNames(); i < 2499; ++i) {
    ASSERT_EQ(AddTypeName("T" + std::to_string(i)), i);
  }
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(AddTypeName("Extra"), -1);
  EXPECT_EQ(CountTypeNames(), 2499);
  EXPECT_EQ(Log(), test::Sj("プログラム解析 配列OVER : Extra\r\n"));
  EXPECT_EQ(AddTypeName("T2498"), 2498);
  EXPECT_EQ(ClassifyToken("T2498"), kKindTypeName);
  EXPECT_EQ(ClassifyToken("Extra"), kKindOther);
}

}  // namespace
}  // namespace vandrel
