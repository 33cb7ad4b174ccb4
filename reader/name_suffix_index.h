// Many names against many texts in one pass: which names end right before a
// given position of a text. A name n "ends before" position q when the bytes
// before q are n and n starts at a character start, so n followed by the
// text from q on is what MbFind finds there.
//
//   NameSuffixIndex index;           // a reversed trie of the names
//   int cnt = index.Add("cnt");
//   auto starts = CharacterStarts("xcnt [R]");
//   index.ForEachEndingAt("xcnt [R]", starts, 4, [](int id) { ... });  // cnt
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vandrel {

// starts[i] is true when a character begins at byte i (walking from byte 0).
std::vector<bool> CharacterStarts(std::string_view text);

class NameSuffixIndex {
 public:
  NameSuffixIndex() : nodeName_(1, -1) {}

  // The id of the name (0, 1, ... in order of first addition).
  int Add(std::string_view name);
  int Size() const { return static_cast<int>(names_.size()); }
  const std::string& Name(int id) const { return names_[id]; }

  // Calls found(id) for every name that ends before `end`, longest last.
  template <class Found>
  void ForEachEndingAt(std::string_view text, const std::vector<bool>& starts, size_t end,
                       Found&& found) const {
    int node = 0;
    for (size_t k = end; k > 0; --k) {
      auto it = children_.find(Key(node, text[k - 1]));
      if (it == children_.end()) return;
      node = it->second;
      if (nodeName_[node] >= 0 && starts[k - 1]) found(nodeName_[node]);
    }
  }

 private:
  static uint64_t Key(int node, char byte) {
    return (static_cast<uint64_t>(node) << 8) | static_cast<unsigned char>(byte);
  }

  std::unordered_map<uint64_t, int> children_;  // (node, byte) -> child
  std::vector<int> nodeName_;                   // name id ending at the node, or -1
  std::vector<std::string> names_;
};

}  // namespace vandrel
