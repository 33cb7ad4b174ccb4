#include "prepro/define_table.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "platform/cp932.h"

namespace vandrel {

thread_local std::vector<std::string> g_defineNameList;
thread_local std::vector<std::string> g_defineValueList;
thread_local int g_defineCount = 0;
CarriedString g_preproFileTitle;
CarriedString g_defOutputDir;

namespace {

struct DefineIndex {
  size_t indexed = 0;
  std::unordered_map<std::string, std::vector<int>> byName;
  // Every TAB-led piece of a value (TAB after the first byte) -> positions;
  // rewritten values add their pieces, stale positions are filtered on use.
  std::map<std::string, std::vector<int>, std::less<>> byPiece;
  // How many entries hold each name and value; an entry that repeats one
  // already there is met after it by every lookup and changes no answer.
  std::unordered_map<std::string, int> entries;
  unsigned long long version = 0;

  static std::string EntryKey(const std::string& name, const std::string& value) {
    return name + '\0' + value;
  }
  void Reset() {
    indexed = 0;
    byName.clear();
    byPiece.clear();
    entries.clear();
    ++version;
  }
  void AddEntry(const std::string& name, const std::string& value) {
    if (entries[EntryKey(name, value)]++ == 0) ++version;
  }
  void RemoveEntry(const std::string& name, const std::string& value) {
    auto it = entries.find(EntryKey(name, value));
    if (it != entries.end() && --it->second == 0) entries.erase(it);
  }
  void AddPieces(int pos) {
    const std::string& v = g_defineValueList[pos];
    for (size_t tab = v.find('\t', 1); tab != std::string::npos;) {
      size_t next = v.find('\t', tab + 1);
      size_t end = next == std::string::npos ? v.size() : next;
      if (end > tab + 1) byPiece[v.substr(tab + 1, end - tab - 1)].push_back(pos);
      tab = next;
    }
  }
  // Catches up with entries appended (or a table emptied) behind its back.
  void Sync() {
    size_t n = std::min(g_defineNameList.size(), g_defineValueList.size());
    if (n < indexed) Reset();
    for (; indexed < n; ++indexed) {
      int pos = static_cast<int>(indexed);
      byName[g_defineNameList[indexed]].push_back(pos);
      AddEntry(g_defineNameList[indexed], g_defineValueList[indexed]);
      AddPieces(pos);
    }
  }
};

DefineIndex& Index() {
  thread_local DefineIndex index;
  return index;
}

bool Mentions(const std::string& value, std::string_view name) {
  std::string needle = "\t" + std::string(name);
  return MbFind(value, needle, 1) != std::string::npos;
}

}  // namespace

void ClearDefineTable() {
  g_defineCount = 0;
  g_defineNameList.clear();
  g_defineValueList.clear();
  Index().Reset();
}

void AppendDefine(std::string name, std::string value) {
  g_defineNameList.push_back(std::move(name));
  g_defineValueList.push_back(std::move(value));
  ++g_defineCount;
  Index().Sync();
}

void SetDefineValue(int index, std::string value) {
  DefineIndex& idx = Index();
  idx.Sync();
  std::string& held = g_defineValueList[index];
  if (held == value) return;
  ++idx.version;
  const bool indexed = static_cast<size_t>(index) < idx.indexed;
  if (indexed) idx.RemoveEntry(g_defineNameList[index], held);
  held = std::move(value);
  if (indexed) {
    idx.AddEntry(g_defineNameList[index], held);
    idx.AddPieces(index);
  }
}

unsigned long long DefineTableVersion() {
  DefineIndex& idx = Index();
  idx.Sync();
  return idx.version;
}

const std::vector<int>& DefinePositions(std::string_view name) {
  static const std::vector<int> kNone;
  DefineIndex& idx = Index();
  idx.Sync();
  auto it = idx.byName.find(std::string(name));
  return it == idx.byName.end() ? kNone : it->second;
}

bool IsDefined(std::string_view name) { return !DefinePositions(name).empty(); }

std::vector<int> ValuesMentioning(std::string_view name) {
  DefineIndex& idx = Index();
  idx.Sync();
  std::vector<int> found;
  if (name.empty()) return found;
  for (auto it = idx.byPiece.lower_bound(name);
       it != idx.byPiece.end() && it->first.compare(0, name.size(), name) == 0; ++it) {
    found.insert(found.end(), it->second.begin(), it->second.end());
  }
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  std::erase_if(found, [&](int pos) { return !Mentions(g_defineValueList[pos], name); });
  return found;
}

}  // namespace vandrel
