#include "platform/ordered_work.h"

#include <malloc.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "platform/work_store.h"

namespace vandrel {
namespace {

thread_local ItemContext* t_item = nullptr;
std::atomic<uint64_t> g_nextSerial{1};
std::atomic<unsigned long long> g_sharedChanges{0};

unsigned long long SharedChanges() { return g_sharedChanges.load(); }

std::atomic<unsigned> g_threadsForTesting{0};

std::vector<void (*)()>& StartHooks() {
  static std::vector<void (*)()> hooks;
  return hooks;
}

unsigned ThreadsFromEnvironment() {
  if (const char* text = std::getenv("VANDREL_THREADS")) {
    char* end = nullptr;
    long n = std::strtol(text, &end, 10);
    if (end != text && *end == '\0' && n >= 1) return static_cast<unsigned>(std::min<long>(n, 256));
  }
  return std::clamp(std::thread::hardware_concurrency(), 1u, kMaxWorkThreads);
}

struct ContextScope {
  explicit ContextScope(ItemContext* c) : saved(t_item) { t_item = c; }
  ~ContextScope() { t_item = saved; }
  ItemContext* saved;
};

// Something the work threads take items from.
class Batch {
 public:
  virtual ~Batch() = default;
  // Claims and runs one item; false when none is left to claim now.
  virtual bool RunOne() = 0;
};

// The work threads: they take posted tasks first, then items of the batches.
class Pool {
 public:
  static Pool& Get() {
    static Pool pool;
    return pool;
  }

  void Add(Batch* b) {
    std::lock_guard<std::mutex> lock(mutex_);
    StartThreads();
    batches_.push_back({b, 0});
    ++generation_;
    wake_.notify_all();
  }
  // Waits until no work thread is inside the batch.
  void Remove(Batch* b) {
    std::unique_lock<std::mutex> lock(mutex_);
    auto find = [&] {
      return std::find_if(batches_.begin(), batches_.end(), [&](const Entry& e) { return e.batch == b; });
    };
    left_.wait(lock, [&] { return find()->visitors == 0; });
    batches_.erase(find());
  }
  // A batch has new items to claim: one idle thread wakes.
  void Notify() {
    ++generation_;
    if (idle_.load() == 0) return;
    std::lock_guard<std::mutex> lock(mutex_);
    wake_.notify_one();
  }
  void Post(std::function<void()> task) {
    std::lock_guard<std::mutex> lock(mutex_);
    StartThreads();
    tasks_.push_back(std::move(task));
    ++pendingTasks_;
    ++generation_;
    if (idle_.load() > 0) wake_.notify_one();
  }

  ~Pool() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      shutdown_ = true;
      ++generation_;
      wake_.notify_all();
    }
    for (std::thread& t : threads_) t.join();
  }

 private:
  struct Entry {
    Batch* batch;
    int visitors;  // work threads inside it
  };

  void StartThreads() {
    if (!threads_.empty()) return;
    // Large blocks from the heap, kept for reuse: the threads' large strings
    // then neither fault in fresh pages nor unmap them (which stops every
    // core of the process) each time they grow.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    for (unsigned i = 0; i < WorkThreads(); ++i) threads_.emplace_back([this] { Loop(); });
  }

  void Loop() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      if (shutdown_) return;
      if (!tasks_.empty()) {
        std::function<void()> task = std::move(tasks_.front());
        tasks_.pop_front();
        --pendingTasks_;
        lock.unlock();
        task();
        lock.lock();
        continue;
      }
      const unsigned long seen = generation_.load();
      bool ran = false;
      for (size_t i = 0; i < batches_.size() && !ran; ++i) {
        Batch* b = batches_[i].batch;
        ++batches_[i].visitors;
        lock.unlock();
        // Items one after another while there are any, tasks first.
        while (b->RunOne()) {
          ran = true;
          if (pendingTasks_.load() > 0) break;
        }
        lock.lock();
        for (Entry& e : batches_)
          if (e.batch == b && --e.visitors == 0) left_.notify_all();
      }
      if (ran || !tasks_.empty()) continue;
      // Nothing to take: a short while awake, as work comes in bursts; then
      // asleep until there is some.
      lock.unlock();
      for (int spin = 0; spin < 200 && seen == generation_.load(); ++spin) std::this_thread::yield();
      lock.lock();
      if (shutdown_ || seen != generation_.load() || !tasks_.empty()) continue;
      ++idle_;
      if (seen == generation_.load()) wake_.wait(lock);
      --idle_;
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable left_;
  std::vector<std::thread> threads_;
  std::vector<Entry> batches_;
  std::deque<std::function<void()>> tasks_;
  std::atomic<unsigned long> generation_{0};
  std::atomic<int> idle_{0};
  std::atomic<int> pendingTasks_{0};
  bool shutdown_ = false;
};

// Lists a batch with the pool for the life of its owner's loop.
struct Listing {
  Batch& batch;
  explicit Listing(Batch& b) : batch(b) { Pool::Get().Add(&batch); }
  ~Listing() { Pool::Get().Remove(&batch); }
};

class OrderedBatch final : public Batch {
 public:
  OrderedBatch(size_t count, const std::function<bool(size_t)>& work, size_t ahead)
      : count_(count), work_(work), window_(ahead ? ahead : std::max<size_t>(4, WorkThreads() * 4)),
        slots_(window_) {}

  bool RunOne() override {
    size_t i;
    if (!TakeRestart(i)) {
      i = next_.load();
      do {
        if (closed_.load() || i >= count_ || i >= committed_.load() + window_) return false;
      } while (!next_.compare_exchange_weak(i, i + 1));
    }
    Slot& s = slots_[i % window_];
    s.retired = ItemContext();  // what the last item of this slot left, freed here
    // An item that saw what a commit has changed since runs again at once,
    // on what is committed now, a few times at most.
    for (int runs = 0;; ++runs) {
      s.context.SetSerial(g_nextSerial++);
      s.context.SetPlace(&loop_, i);
      {
        ContextScope scope(&s.context);
        try {
          s.result = work_(i);
        } catch (...) {
          s.failure = std::current_exception();
        }
      }
      if (runs == 2 || closed_.load() || s.context.MustRunAtTurn() || s.context.ChecksHold()) break;
      s.ResetRun();
    }
    s.done.store(true);
    if (waitingFor_.load() == i) {
      std::lock_guard<std::mutex> lock(mutex_);
      changed_.notify_all();
    }
    return true;
  }

  size_t Run(const std::atomic<int>* stop) {
    Listing listing(*this);
    size_t i = 0;
    unsigned long long changesSeen = SharedChanges();
    std::exception_ptr failure;
    for (; i < count_; ++i) {
      if (stop && stop->load() == 1) break;
      Slot& s = slots_[i % window_];
      size_t expected = i;
      // Nobody took it (or its run again): it runs here, at its turn.
      const bool mine = next_.compare_exchange_strong(expected, i + 1) || TakeRestartOf(i);
      if (!mine) WaitDone(i, s);
      bool goOn = false;
      if (!mine && !s.context.MustRunAtTurn() && s.context.HoldsAtCommit()) {
        s.context.Commit();
        failure = s.failure;
        goOn = s.result;
      } else {
        try {
          goOn = work_(i);
        } catch (...) {
          failure = std::current_exception();
        }
      }
      s.Retire();
      s.done.store(false);
      committed_.store(i + 1);
      loop_.SetCommitted(i + 1);
      Pool::Get().Notify();
      if (SharedChanges() != changesSeen) {
        changesSeen = SharedChanges();
        RestartStale(i + 1);
      }
      if (failure) break;
      if (!goOn) {
        ++i;
        break;
      }
    }
    closed_.store(true);
    if (failure) std::rethrow_exception(failure);
    return i;
  }

 private:
  struct Slot {
    ItemContext context;
    std::atomic<bool> done{false};
    bool result = false;
    std::exception_ptr failure;
    ItemContext retired;  // a committed item's context, freed by the next item's thread
    void ResetRun() {
      context = ItemContext();
      result = false;
      failure = nullptr;
    }
    // After the commit: the committing thread keeps to its work.
    void Retire() {
      retired = std::move(context);
      context = ItemContext();
      result = false;
      failure = nullptr;
    }
  };

  // Items run ahead whose checks a commit has made fail go back to the work
  // threads, which take them before new ones.
  void RestartStale(size_t from) {
    const size_t end = std::min(next_.load(), from + window_);
    for (size_t j = from; j < end; ++j) {
      Slot& s = slots_[j % window_];
      if (!s.done.load() || s.context.MustRunAtTurn() || s.context.ChecksHold()) continue;
      s.Retire();  // its context is freed by the thread that runs it again
      s.done.store(false);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        restarts_.push_back(j);
      }
      ++restartCount_;
      Pool::Get().Notify();
    }
  }
  bool TakeRestartOf(size_t i) {
    if (restartCount_.load() == 0) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = std::find(restarts_.begin(), restarts_.end(), i);
    if (it == restarts_.end()) return false;
    restarts_.erase(it);
    --restartCount_;
    return true;
  }
  bool TakeRestart(size_t& i) {
    if (restartCount_.load() == 0) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    if (restarts_.empty() || closed_.load()) return false;
    i = restarts_.front();
    restarts_.pop_front();
    --restartCount_;
    return true;
  }

  // Waits for the item a work thread took: a short spin, then asleep.
  void WaitDone(size_t i, Slot& s) {
    for (int spin = 0; spin < 2000; ++spin) {
      if (s.done.load()) return;
      if (spin > 50) std::this_thread::yield();
    }
    waitingFor_.store(i);
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return s.done.load(); });
    waitingFor_.store(kNone);
  }

  static constexpr size_t kNone = static_cast<size_t>(-1);
  const size_t count_;
  const std::function<bool(size_t)>& work_;
  const size_t window_;
  LoopState loop_;  // outlives the slots' contexts
  std::vector<Slot> slots_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::atomic<size_t> next_{0};       // the next item to claim
  std::atomic<size_t> committed_{0};  // items committed
  std::atomic<size_t> waitingFor_{kNone};
  std::atomic<bool> closed_{false};
  std::deque<size_t> restarts_;  // under mutex_
  std::atomic<size_t> restartCount_{0};
};

class UnorderedBatch final : public Batch {
 public:
  UnorderedBatch(size_t count, const std::function<bool(size_t)>& work) : count_(count), work_(work) {}

  bool RunOne() override {
    size_t i;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (failed_ || next_ >= count_) return false;
      i = next_++;
    }
    bool ok = false;
    std::exception_ptr failure;
    try {
      ok = work_(i);
    } catch (...) {
      failure = std::current_exception();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (!ok) failed_ = true;
    if (failure && !failure_) failure_ = failure;
    return true;
  }

  bool Run() {
    {
      Listing listing(*this);
      while (RunOne()) {
      }
    }
    if (failure_) std::rethrow_exception(failure_);
    return !failed_;
  }

 private:
  const size_t count_;
  const std::function<bool(size_t)>& work_;
  std::mutex mutex_;
  size_t next_ = 0;
  bool failed_ = false;
  std::exception_ptr failure_;
};

}  // namespace

unsigned WorkThreads() {
  static const unsigned fromEnvironment = ThreadsFromEnvironment();
  unsigned forTesting = g_threadsForTesting.load();
  return forTesting ? forTesting : fromEnvironment;
}

void SetWorkThreadsForTesting(unsigned threads) { g_threadsForTesting = threads; }

bool ItemContext::ChecksHold() const {
  for (const std::function<bool()>& holds : checks_)
    if (!holds()) return false;
  return true;
}

bool ItemContext::HoldsAtCommit() const {
  if (!ChecksHold()) return false;
  for (const std::function<bool()>& holds : commitChecks_)
    if (!holds()) return false;
  return true;
}

void ItemContext::Commit() {
  for (std::function<void()>& effect : effects_) effect();
  effects_.clear();
}

ItemContext* CurrentItem() { return t_item; }

void AtCommit(std::function<void()> effect) {
  if (ItemContext* item = CurrentItem())
    item->Defer(std::move(effect));
  else
    effect();
}

size_t RunInOrder(size_t count, const std::function<bool(size_t)>& work,
                  const std::atomic<int>* stop, size_t ahead) {
  if (count == 0) return 0;
  // Items run ahead only where their writes can be held.
  if (CurrentItem() || WorkThreads() == 1 || count == 1 || !work_store::Active()) {
    size_t i = 0;
    while (i < count) {
      if (stop && stop->load() == 1) break;
      if (!work(i++)) break;
    }
    return i;
  }
  for (void (*hook)() : StartHooks()) hook();
  OrderedBatch batch(count, work, ahead);
  return batch.Run(stop);
}

bool ForEachInParallel(size_t count, const std::function<bool(size_t)>& work) {
  if (count == 0) return true;
  if (WorkThreads() == 1 || count == 1) {
    for (size_t i = 0; i < count; ++i)
      if (!work(i)) return false;
    return true;
  }
  UnorderedBatch batch(count, work);
  return batch.Run();
}

void AddItemsStartHook(void (*hook)()) { StartHooks().push_back(hook); }

void NoteSharedChange() { ++g_sharedChanges; }

bool ForEachRunInParallel(size_t count, size_t run, const std::function<bool(size_t)>& work) {
  const size_t runs = (count + run - 1) / run;
  return ForEachInParallel(runs, [&](size_t r) {
    for (size_t i = r * run; i < std::min(count, (r + 1) * run); ++i)
      if (!work(i)) return false;
    return true;
  });
}

void PostTask(std::function<void()> task) {
  if (WorkThreads() == 1) {
    task();
    return;
  }
  Pool::Get().Post(std::move(task));
}

}  // namespace vandrel
