#include "reader/type_names.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/ordered_work.h"
#include "platform/work_store.h"
#include "reader/string_table.h"
#include "reader/type_name_guard.h"

namespace vandrel {
namespace {

// Items of a loop look names up and add them as they run ahead on the work
// threads; what they find must be what they find one after another. Runs
// with one work thread and with eight, the tree kept so that items run ahead.
class TypeNamesInItemsTest : public ::testing::TestWithParam<unsigned> {
 protected:
  void SetUp() override {
    SetWorkThreadsForTesting(GetParam());
    work_store::Begin("./type-names-test");
    ResetTypeNameTable();
  }
  void TearDown() override {
    work_store::End();
    SetWorkThreadsForTesting(0);
  }

 private:
  test::TypeNameTableGuard guard_;
};

std::string Name(const char* stem, size_t i) { return stem + std::to_string(i); }

// Every item misses thousands of other names first (so that the misses are
// many more than the names added meanwhile), then looks up the name the item
// before it adds, then adds its own. One after another, each finds its
// predecessor's name; items that ran before their predecessor's commit run
// again.
TEST_P(TypeNamesInItemsTest, AnItemFindsWhatEveryEarlierItemAdded) {
  constexpr size_t kItems = 120, kOtherMisses = 5000;
  std::vector<int> found;
  RunInOrder(kItems, [&](size_t i) {
    for (size_t k = 0; k < kOtherMisses; ++k) IsTypeName(Name("other", i * kOtherMisses + k));
    const bool sees = i == 0 || IsTypeName(Name("T", i - 1));
    AddTypeName(Name("T", i));
    AtCommit([&found, sees] { found.push_back(sees ? 1 : 0); });
    return true;
  });
  EXPECT_EQ(found, std::vector<int>(kItems, 1));
  EXPECT_TRUE(IsTypeName(Name("T", kItems - 1)));
  EXPECT_FALSE(IsTypeName(Name("other", 0)));
}

// Names added by earlier items that an item never looked up leave its run
// standing: each item runs once, however many misses it has.
TEST_P(TypeNamesInItemsTest, AdditionsAnItemDidNotMissKeepItsFirstRun) {
  constexpr size_t kItems = 120, kOtherMisses = 5000;
  std::vector<std::atomic<int>> runs(kItems);
  RunInOrder(kItems, [&](size_t i) {
    ++runs[i];
    for (size_t k = 0; k < kOtherMisses; ++k) IsTypeName(Name("other", i * kOtherMisses + k));
    AddTypeName(Name("T", i));
    return true;
  });
  for (size_t i = 0; i < kItems; ++i) EXPECT_EQ(runs[i].load(), 1) << "item " << i;
  EXPECT_TRUE(IsTypeName(Name("T", kItems - 1)));
}

// Item 1 adds "A" only while "B" is not a type, and item 0 adds "B" late,
// so that item 1's first run adds "A" and its run after item 0's commit does
// not. The items after it, looking "A" up while item 1's first run stands,
// must in the end not see it: one after another, nobody adds "A".
TEST_P(TypeNamesInItemsTest, ANameOnlyADiscardedRunAddedIsNotSeen) {
  constexpr size_t kItems = 40;
  std::vector<int> sawA;
  RunInOrder(kItems, [&](size_t i) {
    if (i == 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      AddTypeName("B");
    } else if (i == 1) {
      if (!IsTypeName("B")) AddTypeName("A");
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      const bool sees = IsTypeName("A");
      AtCommit([&sawA, sees] { sawA.push_back(sees ? 1 : 0); });
    }
    return true;
  });
  EXPECT_EQ(sawA, std::vector<int>(kItems - 2, 0));
  EXPECT_FALSE(IsTypeName("A"));
  EXPECT_TRUE(IsTypeName("B"));
}

INSTANTIATE_TEST_SUITE_P(Threads, TypeNamesInItemsTest, ::testing::Values(1u, 8u),
                         [](const ::testing::TestParamInfo<unsigned>& p) {
                           return p.param == 1 ? std::string("OneThread") : std::string("EightThreads");
                         });

}  // namespace
}  // namespace vandrel
