// The result folder of a run in the output folder: a folder of its own,
// named after the time its copies begin.
#pragma once

#include <string>

namespace vandrel {

struct ResultFolder {
  std::string path;
  bool made = false;  // the run made it (and may remove it again)
};

// Makes outputFolder/stamp, or outputFolder/stamp_2, stamp_3, ... when an
// entry of that name is there already (a run of the same second), so that a
// run never copies into a folder it did not make. When the folder cannot be
// made (the output path names a file, ...), `made` is false and the copies
// into `path` then fail.
ResultFolder MakeResultFolder(const std::string& outputFolder, const std::string& stamp);

}  // namespace vandrel
