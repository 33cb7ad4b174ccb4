#include "reader/string_table.h"

#include "reader/vocabulary.h"

namespace vandrel {
namespace {

// Compared as a view: tables built at start-up must not depend on the
// construction order of other files' strings.
constexpr std::string_view kSentinel = "@1END";

}  // namespace

const std::string kNameSentinel(kSentinel);
int g_typeNameCount = 0;

StringTable::StringTable(const std::vector<std::string>& names) {
  for (const std::string& n : names) {
    if (n == kSentinel) break;
    Append(n);
  }
}

int StringTable::Find(std::string_view name) const {
  auto it = index_.find(name);
  return it == index_.end() ? -1 : it->second;
}

int StringTable::IndexOfOrAdd(const std::string& name) {
  // The slot walk compares each slot with the name before it tests for the
  // sentinel, so the sentinel's own text is found at the sentinel's slot.
  if (name == kSentinel) return Count();
  int found = Find(name);
  return found >= 0 ? found : Append(name);
}

// The name into the sentinel's slot.
int StringTable::Append(std::string_view name) {
  const int index = Count();
  names_.emplace_back(name);
  index_.emplace(names_.back(), index);
  ++version_;
  return index;
}

void StringTable::Truncate(int count) {
  while (Count() > count && !names_.empty()) {
    auto it = index_.find(names_.back());
    if (it != index_.end() && it->second == Count() - 1) index_.erase(it);
    names_.pop_back();
    ++version_;
  }
}

int CountTypeNames() { return g_typeNameTable.Count(); }

int CountTable(const StringTable& table) { return table.Count(); }

void ResetTypeNameTable() {
  g_typeNameTable.Clear();
  for (const char* n : {"BOOL", "char", "short", "long", "void", "int"}) {
    g_typeNameTable.IndexOfOrAdd(n);
  }
}

int FindOrAddName(std::string name, StringTable& table) {
  const int before = table.Count();
  table.IndexOfOrAdd(name);
  return table.Count() > before ? 0 : 1;
}

int IndexOfOrAddName(std::string name, StringTable& table) { return table.IndexOfOrAdd(name); }

}  // namespace vandrel
