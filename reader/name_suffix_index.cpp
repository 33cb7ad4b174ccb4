#include "reader/name_suffix_index.h"

#include "platform/cp932.h"

namespace vandrel {

std::vector<bool> CharacterStarts(std::string_view text) {
  std::vector<bool> starts(text.size(), false);
  for (size_t pos = 0; pos < text.size(); pos = MbNextChar(text, pos)) starts[pos] = true;
  return starts;
}

int NameSuffixIndex::Add(std::string_view name) {
  int node = 0;
  for (size_t k = name.size(); k > 0; --k) {
    auto [it, added] = children_.try_emplace(Key(node, name[k - 1]), 0);
    if (added) {
      it->second = static_cast<int>(nodeName_.size());
      nodeName_.push_back(-1);
    }
    node = it->second;
  }
  if (nodeName_[node] < 0) {
    nodeName_[node] = static_cast<int>(names_.size());
    names_.emplace_back(name);
  }
  return nodeName_[node];
}

}  // namespace vandrel
