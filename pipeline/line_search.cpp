#include "pipeline/line_search.h"

#include <unordered_map>

namespace vandrel {

void LineSearch::Assign(std::vector<std::string> lines) {
  lines_ = std::move(lines);
  text_.clear();
  starts_.clear();
  runs_.clear();
  indexed_ = false;
  for (const std::string& l : lines_) {
    starts_.push_back(text_.size());
    text_ += l;
    text_ += '\n';
  }
}

std::vector<int> LineSearch::LinesWithRunEndingIn(std::string_view name) {
  std::unique_lock<std::mutex> lock(indexing_);
  if (!indexed_) {
    std::unordered_map<std::string, std::vector<int>> byRun;
    for (size_t i = 0; i < lines_.size(); ++i) {
      const std::string& l = lines_[i];
      for (size_t from = 0, tab; (tab = l.find('\t', from)) != std::string::npos; from = tab + 1) {
        std::string_view run(l.data() + from, tab - from);
        std::vector<int>& at = byRun[std::string(run.rbegin(), run.rend())];
        if (at.empty() || at.back() != static_cast<int>(i)) at.push_back(static_cast<int>(i));
      }
    }
    runs_.assign(std::make_move_iterator(byRun.begin()), std::make_move_iterator(byRun.end()));
    std::sort(runs_.begin(), runs_.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    indexed_ = true;
  }
  lock.unlock();
  const std::string reversed(name.rbegin(), name.rend());
  std::vector<int> lines;
  auto it = std::lower_bound(runs_.begin(), runs_.end(), reversed,
                             [](const auto& run, const std::string& r) { return run.first < r; });
  for (; it != runs_.end() && it->first.compare(0, reversed.size(), reversed) == 0; ++it)
    lines.insert(lines.end(), it->second.begin(), it->second.end());
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  return lines;
}

}  // namespace vandrel
