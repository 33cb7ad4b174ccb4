#include "platform/ordered_work.h"

#include "platform/work_store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace vandrel {
namespace {

// Each test runs with one work thread and with eight; items run ahead only
// while a tree is kept, so the tests keep one (that holds no file).
class OrderedWorkTest : public ::testing::TestWithParam<unsigned> {
 protected:
  void SetUp() override {
    SetWorkThreadsForTesting(GetParam());
    work_store::Begin("./ordered-work-test");
  }
  void TearDown() override {
    work_store::End();
    SetWorkThreadsForTesting(0);
  }
};

// A little work of uneven length, so that items finish out of order.
void Spin(size_t i) { std::this_thread::sleep_for(std::chrono::microseconds((i * 7919) % 300)); }

TEST_P(OrderedWorkTest, EffectsTakePlaceInItemOrderOnTheCallingThread) {
  const std::thread::id caller = std::this_thread::get_id();
  std::vector<size_t> order;
  std::atomic<int> offThread{0};
  size_t n = RunInOrder(500, [&](size_t i) {
    Spin(i);
    AtCommit([&, i] {
      if (std::this_thread::get_id() != caller) ++offThread;
      order.push_back(i);
    });
    return true;
  });
  EXPECT_EQ(n, 500u);
  ASSERT_EQ(order.size(), 500u);
  for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(order[i], i);
  EXPECT_EQ(offThread.load(), 0);
}

TEST_P(OrderedWorkTest, AnItemThatReturnsFalseEndsTheLoopAfterItsEffects) {
  std::vector<size_t> order;
  size_t n = RunInOrder(300, [&](size_t i) {
    Spin(i);
    AtCommit([&, i] { order.push_back(i); });
    return i != 41;
  });
  EXPECT_EQ(n, 42u);
  ASSERT_EQ(order.size(), 42u);
  EXPECT_EQ(order.back(), 41u);
}

TEST_P(OrderedWorkTest, AStopFlagEndsTheLoopBeforeTheNextCommit) {
  std::atomic<int> stop{0};
  std::vector<size_t> order;
  size_t n = RunInOrder(
      300,
      [&](size_t i) {
        Spin(i);
        AtCommit([&, i] {
          order.push_back(i);
          if (i == 99) stop = 1;
        });
        return true;
      },
      &stop);
  EXPECT_EQ(n, 100u);
  EXPECT_EQ(order.size(), 100u);
}

TEST_P(OrderedWorkTest, AnExceptionComesBackAfterTheEffectsBeforeIt) {
  std::vector<std::string> seen;
  EXPECT_THROW(RunInOrder(200,
                          [&](size_t i) {
                            Spin(i);
                            AtCommit([&, i] { seen.push_back(std::to_string(i)); });
                            if (i == 17) throw std::runtime_error("broken");
                            return true;
                          }),
               std::runtime_error);
  ASSERT_EQ(seen.size(), 18u);
  EXPECT_EQ(seen.back(), "17");
}

// A shared value that items read and the commits change: an item that ran
// ahead on an old value is run again at its turn, so each item sees what the
// items before it left, as with one thread.
TEST_P(OrderedWorkTest, AnItemWhoseCheckFailsRunsAgainAtItsTurn) {
  std::mutex m;
  long total = 0;  // changed only at commits
  std::vector<long> seenBefore(400);
  RunInOrder(400, [&](size_t i) {
    Spin(i);
    long before;
    {
      std::lock_guard<std::mutex> lock(m);
      before = total;
    }
    if (ItemContext* item = CurrentItem())
      item->Check([&, before] {
        std::lock_guard<std::mutex> lock(m);
        return total == before;
      });
    AtCommit([&, i, before] {
      seenBefore[i] = before;
      std::lock_guard<std::mutex> lock(m);
      total += static_cast<long>(i);
    });
    return true;
  });
  long expected = 0;
  for (size_t i = 0; i < seenBefore.size(); ++i) {
    EXPECT_EQ(seenBefore[i], expected) << i;
    expected += static_cast<long>(i);
  }
}

// A check kept for the commit is tested there only: one that holds once the
// items before have committed leaves each item's first run standing, and
// one that fails at the commit runs the item again at its turn.
TEST_P(OrderedWorkTest, ChecksKeptForTheCommitAreTestedThereOnly) {
  constexpr size_t kItems = 200;
  std::vector<std::atomic<int>> runs(kItems);
  std::vector<int> ranAtTurn(kItems, -1);
  std::atomic<size_t> committed{0};
  RunInOrder(kItems, [&](size_t i) {
    Spin(i);
    ++runs[i];
    ItemContext* item = CurrentItem();
    if (item) {
      item->CheckAtCommit([&, i] { return committed.load() == i; });  // true at its turn only
      if (i % 7 == 2) item->CheckAtCommit([] { return false; });
    }
    const bool inContext = item != nullptr;
    AtCommit([&, i, inContext] {
      ranAtTurn[i] = inContext ? 0 : 1;
      ++committed;
    });
    return true;
  });
  // (An item the calling thread takes itself runs outside a context at once.)
  int ranTwice = 0;
  for (size_t i = 0; i < kItems; ++i) {
    const bool fails = i % 7 == 2;
    if (!fails) {
      EXPECT_EQ(runs[i].load(), 1) << i;
      continue;
    }
    EXPECT_EQ(ranAtTurn[i], 1) << i;
    ranTwice += runs[i].load() == 2 ? 1 : 0;
  }
  if (GetParam() > 1) {
    EXPECT_GT(ranTwice, 0);
  }
}

TEST_P(OrderedWorkTest, AnItemThatAsksRunsAtItsTurnOutsideAContext) {
  std::vector<int> inContextAtCommit(100, -1);
  RunInOrder(100, [&](size_t i) {
    Spin(i);
    if (i % 10 == 3)
      if (ItemContext* item = CurrentItem()) item->RunAtTurn();
    const bool inContext = CurrentItem() != nullptr;
    AtCommit([&, i, inContext] { inContextAtCommit[i] = inContext ? 1 : 0; });
    return true;
  });
  for (size_t i = 3; i < 100; i += 10) EXPECT_EQ(inContextAtCommit[i], 0) << i;
}

TEST_P(OrderedWorkTest, ALoopInsideAnItemRunsThereInOrder) {
  std::vector<std::string> order;
  RunInOrder(50, [&](size_t i) {
    RunInOrder(3, [&, i](size_t j) {
      AtCommit([&, i, j] { order.push_back(std::to_string(i) + "." + std::to_string(j)); });
      return true;
    });
    return true;
  });
  ASSERT_EQ(order.size(), 150u);
  EXPECT_EQ(order[0], "0.0");
  EXPECT_EQ(order[4], "1.1");
  EXPECT_EQ(order[149], "49.2");
}

TEST_P(OrderedWorkTest, UnorderedWorkDoesEveryItemOnceAndStopsAfterAFailure) {
  std::mutex m;
  std::multiset<size_t> done;
  EXPECT_TRUE(ForEachInParallel(1000, [&](size_t i) {
    std::lock_guard<std::mutex> lock(m);
    done.insert(i);
    return true;
  }));
  EXPECT_EQ(done.size(), 1000u);
  for (size_t i = 0; i < 1000; ++i) EXPECT_EQ(done.count(i), 1u);

  std::atomic<int> after{0};
  EXPECT_FALSE(ForEachInParallel(100000, [&](size_t i) {
    if (i > 5000) ++after;
    return i != 10;
  }));
  EXPECT_LT(after.load(), 5000);
}

TEST_P(OrderedWorkTest, PostedTasksRun) {
  std::atomic<int> ran{0};
  for (int i = 0; i < 100; ++i) PostTask([&] { ++ran; });
  for (int wait = 0; ran.load() < 100 && wait < 5000; ++wait)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(ran.load(), 100);
}

INSTANTIATE_TEST_SUITE_P(Threads, OrderedWorkTest, ::testing::Values(1u, 8u),
                         [](const ::testing::TestParamInfo<unsigned>& p) {
                           return p.param == 1 ? std::string("OneThread") : std::string("EightThreads");
                         });

}  // namespace
}  // namespace vandrel
