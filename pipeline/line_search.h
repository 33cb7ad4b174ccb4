// Lines searched for the first one that holds a pattern.
#pragma once

#include <algorithm>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vandrel {

class LineSearch {
 public:
  void Assign(std::vector<std::string> lines);
  const std::string& Line(int i) const { return lines_[i]; }

  // The first line holding the bytes of `pattern` that `accept` takes, or -1.
  // One raw search over the joined text finds the candidate lines.
  template <class Accept>
  int FirstLine(std::string_view pattern, Accept&& accept) const {
    for (size_t pos = 0; pos < text_.size();) {
      size_t hit = text_.find(pattern, pos);
      if (hit == std::string::npos) break;
      size_t line = std::upper_bound(starts_.begin(), starts_.end(), hit) - starts_.begin() - 1;
      if (accept(std::string_view(lines_[line]))) return static_cast<int>(line);
      pos = starts_[line] + lines_[line].size() + 1;
    }
    return -1;
  }

  // FirstLine for a pattern that ends with `name` and a TAB ("name\t",
  // "\tname\t"). Such bytes end at a TAB, and the run of bytes without TAB
  // before that TAB ends with the name; only lines with such a run are tried.
  // A name that is empty or holds a TAB or a line end takes the raw search.
  template <class Accept>
  int FirstLineBeforeTab(std::string_view name, std::string_view pattern, Accept&& accept) {
    if (name.empty() || name.find_first_of("\t\n") != std::string_view::npos)
      return FirstLine(pattern, accept);
    for (int line : LinesWithRunEndingIn(name)) {
      if (lines_[line].find(pattern) != std::string::npos && accept(std::string_view(lines_[line])))
        return line;
    }
    return -1;
  }

 private:
  // The lines (ascending) that hold a run ending in `name` before a TAB.
  std::vector<int> LinesWithRunEndingIn(std::string_view name);

  std::vector<std::string> lines_;
  std::string text_;            // the lines, each followed by "\n"
  std::vector<size_t> starts_;  // where each line starts in text_
  // Every run followed by a TAB, its bytes reversed, with its lines; sorted,
  // so that the runs ending in a name stand together. Built at first use.
  // Threads that search at once build it once.
  std::vector<std::pair<std::string, std::vector<int>>> runs_;
  std::mutex indexing_;
  bool indexed_ = false;
};

}  // namespace vandrel
