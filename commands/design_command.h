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

// The FILE INFO pass (fileinfo2/INF_<file> for every FILEINFO/*.c), the
// checks of the output folder and of the records of a completed run, the
// question "EXL設計書作成開始します" and the busy box. True when the command
// ran to its end with every design-information file written; false when the
// work area's lock, the abort flag, a check or Cancel ended it, or when the
// pass could not open FILEINFO or a file, or a file lost writes (the command
// goes on all the same).
bool OnDesignDocButton(const std::string& outputFolder, BusyBox& busyBox);

}  // namespace vandrel
