#include "reader/string_table.h"

#include "pipeline/analysis_log.h"
#include "reader/vocabulary.h"

namespace vandrel {

const std::string kNameSentinel = "@1END";
int g_typeNameCount = 0;

StringTable::StringTable(size_t slots) : slots_(slots) {}

StringTable::StringTable(size_t slots, const std::vector<std::string>& names) : slots_(slots) {
  for (const std::string& n : names) IndexOfOrAdd(n);
}

int StringTable::Find(std::string_view name) const {
  auto it = index_.find(std::string(name));
  return it == index_.end() ? -1 : it->second;
}

int StringTable::IndexOfOrAdd(const std::string& name) {
  // The slot walk compares a slot with the name before testing it for the
  // sentinel, so "@1END" itself is found at the end and appended.
  int found = Find(name);
  if (found >= 0) return found;
  if (names_.size() + 1 >= slots_) {
    AppendAnalyzeLog("[" + name + "]", "TABLE FULL\n");
    return -1;
  }
  names_.push_back(name);
  index_.emplace(name, static_cast<int>(names_.size()) - 1);
  return static_cast<int>(names_.size()) - 1;
}

void StringTable::Truncate(int count) {
  while (static_cast<int>(names_.size()) > count) {
    auto it = index_.find(names_.back());
    if (it != index_.end() && it->second == static_cast<int>(names_.size()) - 1) index_.erase(it);
    names_.pop_back();
  }
}

int CountTypeNames() { return g_typeNameTable.Count(); }

int CountTable(const StringTable& table) { return table.Count(); }

void ResetTypeNameTable() {
  g_typeNameTable.Clear();
  for (const char* n : {"BOOL", "char", "short", "long", "void", "int"}) g_typeNameTable.IndexOfOrAdd(n);
}

int AddTypeName(std::string name) { return g_typeNameTable.IndexOfOrAdd(name); }

int FindOrAddName(std::string name, StringTable& table) {
  if (table.Find(name) >= 0) return 1;
  return table.IndexOfOrAdd(name) >= 0 ? 0 : -1;
}

int IndexOfOrAddName(std::string name, StringTable& table) { return table.IndexOfOrAdd(name); }

}  // namespace vandrel
