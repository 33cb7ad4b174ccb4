// Work on several threads with the effects of one thread. A loop hands its
// items to RunInOrder; they run at once on the work threads, and what an item
// does to the outside (log lines, status lines, boxes, file writes, additions
// to shared tables) is held in its ItemContext and takes place at the item's
// commit, in item order, on the thread that called RunInOrder.
//
//   RunInOrder(files.size(), [&](size_t i) {
//     Result r = Analyse(files[i]);             // may run ahead of earlier items
//     AtCommit([r] { AppendToList(r.line); });  // in item order
//     return true;                              // false ends the loop after it
//   });
//
// An item may run ahead only on what earlier items do not change. What it
// reads of their effects it checks (Check): a check that fails at the commit
// discards the item, which then runs again at its turn, on the committing
// thread, outside any context (its effects then take place at once). An item
// that meets what it cannot hold or check asks for that at once (RunAtTurn).
// So an item's work must leave no trace but through its context: it may run
// twice. Items run ahead only while the work folder is kept (work_store.h),
// where their writes are held; a write anywhere else makes an item run at
// its turn, and while nothing is kept the items run one after another.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <typeindex>
#include <unordered_map>
#include <vector>

namespace vandrel {

// The number of work threads: VANDREL_THREADS when set (1 runs everything on
// the calling thread), else the processor's cores up to kMaxWorkThreads.
unsigned WorkThreads();
constexpr unsigned kMaxWorkThreads = 8;
// For tests: a count in place of the environment's (0 goes back to it).
void SetWorkThreadsForTesting(unsigned threads);

// State that the items of one loop share, made on first use and freed with
// the loop. Its users read and change it from several threads at once.
class LoopState {
 public:
  // The number of the loop's items committed so far.
  size_t Committed() const { return committed_.load(); }
  void SetCommitted(size_t count) { committed_.store(count); }

  template <class T>
  T& Get() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::shared_ptr<void>& slot = states_[std::type_index(typeid(T))];
    if (!slot) slot = std::make_shared<T>();
    return *static_cast<T*>(slot.get());
  }

 private:
  std::atomic<size_t> committed_{0};
  std::mutex mutex_;
  std::unordered_map<std::type_index, std::shared_ptr<void>> states_;
};

class ItemContext {
 public:
  // Done at the commit, in the order deferred.
  void Defer(std::function<void()> effect) { effects_.push_back(std::move(effect)); }
  // Tested at the commit before any effect; false discards the item. Also
  // tested early on the item's work thread while others commit: it reads
  // only atomics or what the item owns.
  void Check(std::function<bool()> holds) { checks_.push_back(std::move(holds)); }
  // Tested at the commit only, after the checks: for what earlier items may
  // still bring about before the item's turn.
  void CheckAtCommit(std::function<bool()> holds) { commitChecks_.push_back(std::move(holds)); }
  // The item cannot run ahead: it runs again at its turn.
  void RunAtTurn() { atTurn_ = true; }
  bool MustRunAtTurn() const { return atTurn_; }

  // State of the item kept for a user of the context (a file overlay, a
  // table's additions), made on first use.
  template <class T>
  T& Local() {
    std::shared_ptr<void>& slot = locals_[std::type_index(typeid(T))];
    if (!slot) slot = std::make_shared<T>();
    return *static_cast<T*>(slot.get());
  }

  // The checks held (then also those kept for the commit); then the
  // effects, in order.
  bool ChecksHold() const;
  bool HoldsAtCommit() const;
  void Commit();

  // Tells this item from every other, also one run in the same context.
  uint64_t Serial() const { return serial_; }
  void SetSerial(uint64_t serial) { serial_ = serial; }

  // The item's number in its loop, and the state its loop shares.
  size_t Index() const { return index_; }
  LoopState& Loop() { return *loop_; }
  void SetPlace(LoopState* loop, size_t index) {
    loop_ = loop;
    index_ = index;
  }

 private:
  std::vector<std::function<void()>> effects_;
  std::vector<std::function<bool()>> checks_;
  std::vector<std::function<bool()>> commitChecks_;
  LoopState* loop_ = nullptr;
  size_t index_ = 0;
  std::unordered_map<std::type_index, std::shared_ptr<void>> locals_;
  bool atTurn_ = false;
  uint64_t serial_ = 0;
};

// The context of the item that the calling thread runs ahead, or null (in
// order, outside any loop, or on one thread: effects take place at once).
ItemContext* CurrentItem();

// At the commit of the current item, or at once outside one.
void AtCommit(std::function<void()> effect);

// The current item's Local<T>(), found without a search after the first
// time on this thread; null outside an item. `fresh` tells the first time.
template <class T>
T* ItemLocal(bool* fresh = nullptr) {
  ItemContext* item = CurrentItem();
  if (fresh) *fresh = false;
  if (!item) return nullptr;
  thread_local uint64_t serial = 0;
  thread_local T* local = nullptr;
  if (serial != item->Serial()) {
    local = &item->Local<T>();
    serial = item->Serial();
    if (fresh) *fresh = true;
  }
  return local;
}

// Runs work(i) for i below count, items running ahead on the work threads;
// their effects take place in item order on the calling thread (inside an
// item, with one thread or while nothing is kept, they run here one after
// another). work returns false to end the loop after its item. When `stop`
// turns 1, no further item commits. An exception from work comes back after
// the item's effects up to it have taken place. Returns the number of items committed. At most
// `ahead` items are begun before the one to commit (0: four a thread), which
// bounds the memory that items holding large effects take.
size_t RunInOrder(size_t count, const std::function<bool(size_t)>& work,
                  const std::atomic<int>* stop = nullptr, size_t ahead = 0);

// Runs work(i) for i below count on the work threads, in no order (each
// item's effects are its own); stops handing out items after one returns
// false. True when all returned true.
bool ForEachInParallel(size_t count, const std::function<bool(size_t)>& work);

// Called on the calling thread before the items of a RunInOrder run ahead,
// so that a shared copy they read is up to date. Registered at start-up.
void AddItemsStartHook(void (*hook)());

// Told by a commit that changed what items running ahead read of a shared
// table (the type names): those whose checks now fail run again at once.
void NoteSharedChange();

// ForEachInParallel over the items below count taken in runs of `run` (for
// many small items).
bool ForEachRunInParallel(size_t count, size_t run, const std::function<bool(size_t)>& work);

// Runs task on a work thread, now or soon; for work behind the loops (file
// writes). Tasks run in the order given when there is one thread.
void PostTask(std::function<void()> task);

}  // namespace vandrel
