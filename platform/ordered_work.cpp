#include "platform/ordered_work.h"

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
    auto it = std::find_if(batches_.begin(), batches_.end(), [&](const Entry& e) { return e.batch == b; });
    left_.wait(lock, [&] {
      it = std::find_if(batches_.begin(), batches_.end(), [&](const Entry& e) { return e.batch == b; });
      return it->visitors == 0;
    });
    batches_.erase(it);
  }
  // A batch has new items to claim.
  void Notify() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++generation_;
    wake_.notify_all();
  }
  void Post(std::function<void()> task) {
    std::lock_guard<std::mutex> lock(mutex_);
    StartThreads();
    tasks_.push_back(std::move(task));
    ++generation_;
    wake_.notify_one();
  }

  ~Pool() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      shutdown_ = true;
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
    for (unsigned i = 0; i < WorkThreads(); ++i) threads_.emplace_back([this] { Loop(); });
  }

  void Loop() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      if (shutdown_) return;
      if (!tasks_.empty()) {
        std::function<void()> task = std::move(tasks_.front());
        tasks_.pop_front();
        lock.unlock();
        task();
        lock.lock();
        continue;
      }
      const unsigned long seen = generation_;
      bool ran = false;
      for (size_t i = 0; i < batches_.size() && !ran; ++i) {
        Batch* b = batches_[i].batch;
        ++batches_[i].visitors;
        lock.unlock();
        ran = b->RunOne();
        lock.lock();
        for (Entry& e : batches_)
          if (e.batch == b && --e.visitors == 0) left_.notify_all();
      }
      if (!ran && seen == generation_) wake_.wait(lock);
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable left_;
  std::vector<std::thread> threads_;
  std::vector<Entry> batches_;
  std::deque<std::function<void()>> tasks_;
  unsigned long generation_ = 0;
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
  OrderedBatch(size_t count, const std::function<bool(size_t)>& work)
      : count_(count), work_(work), window_(std::max<size_t>(4, WorkThreads() * 4)), slots_(window_) {}

  bool RunOne() override {
    size_t i;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (closed_ || next_ >= count_ || next_ >= committed_ + window_) return false;
      i = next_++;
    }
    Slot& s = slots_[i % window_];
    s.context.SetSerial(g_nextSerial++);
    {
      ContextScope scope(&s.context);
      try {
        s.result = work_(i);
      } catch (...) {
        s.failure = std::current_exception();
      }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    s.done = true;
    changed_.notify_all();
    return true;
  }

  size_t Run(const std::atomic<int>* stop) {
    Listing listing(*this);
    size_t i = 0;
    std::exception_ptr failure;
    for (; i < count_; ++i) {
      if (stop && stop->load() == 1) break;
      Slot& s = slots_[i % window_];
      bool mine = false;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        if (next_ == i) {
          ++next_;  // nobody took it: it runs here, at its turn
          mine = true;
        } else {
          changed_.wait(lock, [&] { return s.done; });
        }
      }
      bool goOn;
      if (!mine && !s.context.MustRunAtTurn() && s.context.ChecksHold()) {
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
      {
        std::lock_guard<std::mutex> lock(mutex_);
        s = Slot();
        committed_ = i + 1;
      }
      Pool::Get().Notify();
      if (failure) break;
      if (!goOn) {
        ++i;
        break;
      }
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      closed_ = true;
    }
    if (failure) std::rethrow_exception(failure);
    return i;
  }

 private:
  struct Slot {
    ItemContext context;
    bool done = false;
    bool result = false;
    std::exception_ptr failure;
  };
  const size_t count_;
  const std::function<bool(size_t)>& work_;
  const size_t window_;
  std::vector<Slot> slots_;
  std::mutex mutex_;
  std::condition_variable changed_;
  size_t next_ = 0;       // the next item to claim
  size_t committed_ = 0;  // items committed
  bool closed_ = false;
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
                  const std::atomic<int>* stop) {
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
  OrderedBatch batch(count, work);
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

void PostTask(std::function<void()> task) {
  if (WorkThreads() == 1) {
    task();
    return;
  }
  Pool::Get().Post(std::move(task));
}

}  // namespace vandrel
