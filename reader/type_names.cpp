#include "reader/type_names.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_set>
#include <vector>

#include "platform/ordered_work.h"
#include "reader/string_table.h"
#include "reader/vocabulary.h"

namespace vandrel {
namespace {

size_t HashOf(std::string_view name) { return std::hash<std::string_view>{}(name); }

// The table's names for lock-free readers: one thread (the one that changes
// the table) adds, any thread looks up. Slots point to names that never move.
class SharedNames {
 public:
  SharedNames() { Publish(64); }

  bool Contains(std::string_view name) const {
    const Slots* s = slots_.load(std::memory_order_acquire);
    const size_t mask = s->size - 1;
    for (size_t i = HashOf(name) & mask;; i = (i + 1) & mask) {
      const std::string* n = s->at[i].load(std::memory_order_acquire);
      if (!n) return false;
      if (*n == name) return true;
    }
  }
  size_t Count() const { return count_.load(std::memory_order_acquire); }
  // The hashes of the names added from the given count on.
  std::vector<size_t> HashesSince(size_t count) const {
    std::lock_guard<std::mutex> lock(namesMutex_);
    if (count >= hashes_.size()) return {};
    return std::vector<size_t>(hashes_.begin() + static_cast<long>(count), hashes_.end());
  }

  void Add(std::string_view name) {
    if (Contains(name)) return;
    const std::string* stored;
    {
      std::lock_guard<std::mutex> lock(namesMutex_);
      names_.emplace_back(name);
      hashes_.push_back(HashOf(name));
      stored = &names_.back();
    }
    Slots* s = slots_.load(std::memory_order_relaxed);
    if ((Count() + 1) * 2 > s->size) s = Publish(s->size * 2);
    Insert(*s, stored);
    count_.store(Count() + 1, std::memory_order_release);
  }

  // Makes the copy hold the table's names (by the adding thread, while no
  // item reads).
  void SyncWith(const StringTable& table) {
    if (table.Version() == version_) return;
    {
      std::lock_guard<std::mutex> lock(namesMutex_);
      names_.clear();
      hashes_.clear();
    }
    count_ = 0;
    Publish(64);
    for (const std::string& n : table.Names()) Add(n);
    version_ = table.Version();
  }
  bool InSyncWith(const StringTable& table) const { return version_ == table.Version(); }
  void Follow(const StringTable& table) { version_ = table.Version(); }

 private:
  struct Slots {
    explicit Slots(size_t n) : size(n), at(new std::atomic<const std::string*>[n]) {
      for (size_t i = 0; i < n; ++i) at[i].store(nullptr, std::memory_order_relaxed);
    }
    size_t size;
    std::unique_ptr<std::atomic<const std::string*>[]> at;
  };

  static void Insert(Slots& s, const std::string* name) {
    const size_t mask = s.size - 1;
    size_t i = HashOf(*name) & mask;
    while (s.at[i].load(std::memory_order_relaxed)) i = (i + 1) & mask;
    s.at[i].store(name, std::memory_order_release);
  }

  // A larger table with every name; readers of the old one go on with it.
  Slots* Publish(size_t size) {
    auto fresh = std::make_unique<Slots>(size);
    {
      std::lock_guard<std::mutex> lock(namesMutex_);
      for (const std::string& n : names_) Insert(*fresh, &n);
    }
    Slots* p = fresh.get();
    if (current_) retired_.push_back(std::move(current_));
    current_ = std::move(fresh);
    slots_.store(p, std::memory_order_release);
    return p;
  }

  std::atomic<Slots*> slots_{nullptr};
  std::unique_ptr<Slots> current_;
  std::vector<std::unique_ptr<Slots>> retired_;  // still read by items that took them
  mutable std::mutex namesMutex_;
  std::deque<std::string> names_;
  std::vector<size_t> hashes_;  // of names_, in their order
  std::atomic<size_t> count_{0};
  unsigned long long version_ = ~0ULL;
};

SharedNames& Shared() {
  static SharedNames names;
  return names;
}

// The names that items of the running loop added in a run of theirs, with
// the first item that added each. An item that misses a name an earlier item
// added takes it as added while that item has not committed (checked at its
// commit), so that it does not run again once that item commits. A hint:
// once full, it takes no more names.
class PendingNames {
 public:
  struct Node {
    Node(size_t h, std::string_view n, size_t item) : hash(h), name(n), first(item) {}
    size_t hash;
    std::string name;
    std::atomic<size_t> first;
  };

  void Add(std::string_view name, size_t hash, size_t item) {
    if (count_.load(std::memory_order_relaxed) >= kSlots / 2) return;
    for (size_t i = hash & (kSlots - 1);; i = (i + 1) & (kSlots - 1)) {
      Node* n = slots_[i].load(std::memory_order_acquire);
      if (!n) {
        Node* fresh;
        {
          std::lock_guard<std::mutex> lock(mutex_);
          fresh = &nodes_.emplace_back(hash, name, item);
        }
        if (slots_[i].compare_exchange_strong(n, fresh, std::memory_order_acq_rel)) {
          count_.fetch_add(1, std::memory_order_relaxed);
          return;
        }
        // another thread took the slot: n is its node
      }
      if (n->hash == hash && n->name == name) {
        size_t first = n->first.load();
        while (item < first && !n->first.compare_exchange_weak(first, item)) {
        }
        return;
      }
    }
  }
  // The name's node when an item before `item` added it, else null.
  const Node* AddedBefore(std::string_view name, size_t hash, size_t item) const {
    for (size_t i = hash & (kSlots - 1);; i = (i + 1) & (kSlots - 1)) {
      const Node* n = slots_[i].load(std::memory_order_acquire);
      if (!n) return nullptr;
      if (n->hash == hash && n->name == name) return n->first.load() < item ? n : nullptr;
    }
  }

 private:
  static constexpr size_t kSlots = size_t{1} << 14;
  std::array<std::atomic<Node*>, kSlots> slots_{};
  std::atomic<size_t> count_{0};
  std::mutex mutex_;
  std::deque<Node> nodes_;
};

// An item's additions, the names it took from earlier items and those it
// found missing.
struct ItemTypeNames {
  bool started = false;
  size_t sharedCount = 0;  // names shared when the item began
  std::unordered_set<std::string> own;  // added, or taken as added by an earlier item
  std::vector<const PendingNames::Node*> taken;  // taken as added by an earlier item
  LoopState* loop = nullptr;        // the item's loop
  PendingNames* pending = nullptr;  // what the loop's items added
  size_t index = 0;                 // the item's number in its loop
  std::vector<size_t> missing;  // hashes

  void NoteMissing(size_t hash) {
    if (missedBits.empty()) missedBits.assign(kFilterBits / 64, 0);
    const size_t bit = hash & (kFilterBits - 1);
    missedBits[bit / 64] |= uint64_t{1} << (bit % 64);
    missing.push_back(hash);
  }
  // Whether a name of this hash was found missing. The filter answers most
  // names without a look at the misses, so that a check costs what was
  // added since the item began, not what the item looked up.
  bool Missed(size_t hash) const {
    if (missedBits.empty()) return false;
    const size_t bit = hash & (kFilterBits - 1);
    if (!(missedBits[bit / 64] >> (bit % 64) & 1)) return false;
    return std::find(missing.begin(), missing.end(), hash) != missing.end();
  }

 private:
  static constexpr size_t kFilterBits = size_t{1} << 16;
  std::vector<uint64_t> missedBits;  // a bit per low bits of a missing hash
};

ItemTypeNames* ItemNames() {
  bool fresh = false;
  ItemTypeNames* item = ItemLocal<ItemTypeNames>(&fresh);
  if (item && fresh && !item->started) {
    item->started = true;
    item->sharedCount = Shared().Count();
    item->loop = &CurrentItem()->Loop();
    item->pending = &item->loop->Get<PendingNames>();
    item->index = CurrentItem()->Index();
    CurrentItem()->Check([item] {
      // A name taken is added by the item's turn, or its item is still to commit.
      for (const PendingNames::Node* n : item->taken)
        if (n->first.load() < item->loop->Committed() && !Shared().Contains(n->name)) return false;
      if (Shared().Count() == item->sharedCount) return true;
      for (size_t h : Shared().HashesSince(item->sharedCount))
        if (item->Missed(h)) return false;
      return true;
    });
    // What it took from earlier items they have added by its turn.
    CurrentItem()->CheckAtCommit([item] {
      for (const PendingNames::Node* n : item->taken)
        if (!Shared().Contains(n->name)) return false;
      return true;
    });
  }
  return item;
}

// Before items run: the copy holds the table.
[[maybe_unused]] const bool g_synced = (AddItemsStartHook([] { Shared().SyncWith(g_typeNameTable); }), true);

}  // namespace

bool IsTypeName(std::string_view name) {
  ItemTypeNames* item = ItemNames();
  if (!item) return g_typeNameTable.Find(name) >= 0;
  if (!item->own.empty() && item->own.count(std::string(name))) return true;
  if (Shared().Contains(name)) return true;
  const size_t hash = HashOf(name);
  const PendingNames::Node* n = item->pending->AddedBefore(name, hash, item->index);
  // A name whose item committed without it is no longer to come.
  if (n && n->first.load() >= item->loop->Committed()) {
    item->own.emplace(name);
    item->taken.push_back(n);
    return true;
  }
  item->NoteMissing(hash);
  return false;
}

int AddTypeName(std::string name) {
  if (ItemTypeNames* item = ItemNames()) {
    if (!Shared().Contains(name) && item->own.insert(name).second) {
      item->pending->Add(name, HashOf(name), item->index);
      CurrentItem()->Defer([name] { AddTypeName(name); });
    }
    return -1;  // the index is known at the commit; no caller uses it
  }
  const bool inSync = Shared().InSyncWith(g_typeNameTable);
  const int before = g_typeNameTable.Count();
  const int index = g_typeNameTable.IndexOfOrAdd(name);
  if (inSync) {
    Shared().Add(name);
    Shared().Follow(g_typeNameTable);
  }
  if (g_typeNameTable.Count() != before) NoteSharedChange();
  return index;
}

}  // namespace vandrel
