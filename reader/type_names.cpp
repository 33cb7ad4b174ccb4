#include "reader/type_names.h"

#include <atomic>
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

// An item's additions and the names it found missing.
struct ItemTypeNames {
  bool started = false;
  size_t sharedCount = 0;  // names shared when the item began
  std::vector<std::string> added;
  std::unordered_set<std::string> own;
  std::vector<size_t> missing;  // hashes
  std::unordered_set<size_t> missingSet;  // made at the first check that needs it
};

ItemTypeNames* ItemNames() {
  bool fresh = false;
  ItemTypeNames* item = ItemLocal<ItemTypeNames>(&fresh);
  if (item && fresh && !item->started) {
    item->started = true;
    item->sharedCount = Shared().Count();
    CurrentItem()->Check([item] {
      if (Shared().Count() == item->sharedCount) return true;
      if (item->missingSet.empty()) item->missingSet.insert(item->missing.begin(), item->missing.end());
      for (size_t h : Shared().HashesSince(item->sharedCount))
        if (item->missingSet.count(h)) return false;
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
  item->missing.push_back(HashOf(name));
  return false;
}

int AddTypeName(std::string name) {
  if (ItemTypeNames* item = ItemNames()) {
    if (!Shared().Contains(name) && item->own.insert(name).second) {
      item->added.push_back(name);
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
