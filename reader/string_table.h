// Sentinel-ended string tables: the used entries, then "@1END". Finds and
// appends follow the original's slot walk (first equal slot wins, a new name
// takes the sentinel's slot), with an index so that a find does not scan.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vandrel {

extern const std::string kNameSentinel;  // "@1END"

class StringTable {
 public:
  // A table of `slots` slots holds at most slots - 1 names.
  explicit StringTable(size_t slots);
  StringTable(size_t slots, const std::vector<std::string>& names);

  size_t Slots() const { return slots_; }
  int Count() const { return static_cast<int>(names_.size()); }
  const std::string& At(int index) const { return names_[index]; }
  const std::vector<std::string>& Names() const { return names_; }
  // Index of the name, or -1.
  int Find(std::string_view name) const;
  // Index of the name, appending it when absent; -1 (and one analysis log
  // line) when the table is full.
  int IndexOfOrAdd(const std::string& name);
  // Keeps the first `count` names (the sentinel moves there).
  void Truncate(int count);
  void Clear() { Truncate(0); }

 private:
  size_t slots_;
  std::vector<std::string> names_;
  std::unordered_map<std::string, int> index_;
};

// The type-name table (2500 slots), process-wide; see vocabulary.h.
extern int g_typeNameCount;

int CountTypeNames();
int CountTable(const StringTable& table);
// Slots 0 to 6 become "BOOL", "char", "short", "long", "void", "int", "@1END".
void ResetTypeNameTable();
int AddTypeName(std::string name);
// 1 when the name was there already, 0 when it was appended (-1: table full).
int FindOrAddName(std::string name, StringTable& table);
int IndexOfOrAddName(std::string name, StringTable& table);

}  // namespace vandrel
