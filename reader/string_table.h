// Sentinel-ended string tables: the used entries, then "@1END". Finds and
// appends give the results of a walk over the slots (the first equal slot
// wins, a new name takes the sentinel's slot and the sentinel moves one slot
// on), with an index so that neither scans. A table has no capacity: the
// sentinel always finds a free slot after it.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vandrel {

extern const std::string kNameSentinel;  // "@1END"

class StringTable {
 public:
  StringTable() = default;
  // The names up to the first "@1END" (the table's used part).
  explicit StringTable(const std::vector<std::string>& names);

  int Count() const { return static_cast<int>(names_.size()); }
  const std::string& At(int index) const { return names_[index]; }
  const std::vector<std::string>& Names() const { return names_; }
  // Index of the first entry equal to the name, or -1.
  int Find(std::string_view name) const;
  // Index of the name, appending it when absent. "@1END" itself is found at
  // the sentinel's slot: its index is Count() and nothing is appended.
  int IndexOfOrAdd(const std::string& name);
  // Keeps the first `count` names (the sentinel moves there).
  void Truncate(int count);
  void Clear() { Truncate(0); }
  // Changes with every change of the names (a copy keeps its own count).
  unsigned long long Version() const { return version_; }

 private:
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  int Append(std::string_view name);

  std::vector<std::string> names_;
  std::unordered_map<std::string, int, Hash, std::equal_to<>> index_;  // name -> first index
  unsigned long long version_ = 0;
};

// The type-name table is process-wide; see vocabulary.h. The driver stores
// its count here.
extern int g_typeNameCount;

int CountTypeNames();
int CountTable(const StringTable& table);
// Slots 0 to 6 become "BOOL", "char", "short", "long", "void", "int", "@1END".
void ResetTypeNameTable();
// Index of the name in the type-name table, appending it when absent
// (type_names.cpp: inside an item, at its commit).
int AddTypeName(std::string name);
// 1 when the name was there already, 0 when it was appended.
int FindOrAddName(std::string name, StringTable& table);
int IndexOfOrAddName(std::string name, StringTable& table);

}  // namespace vandrel
