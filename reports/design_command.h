// The design-document command: the design information of every source file.
#pragma once

#include <string>

namespace vandrel {

// The busy box "実行中" that the command shows on a thread of its own and
// closes again at once.
class BusyBox {
 public:
  virtual ~BusyBox() = default;
  virtual void Open() = 0;   // shows the box (returns at once)
  virtual void Close() = 0;  // the cancel command: closes it without the abort flag
};

// True when the command ran to its end.
bool OnDesignDocButton(const std::string& outputFolder, BusyBox& busyBox);

}  // namespace vandrel
