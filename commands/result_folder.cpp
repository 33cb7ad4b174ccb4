#include "commands/result_folder.h"

#include "platform/file_ops.h"
#include "platform/os_path.h"

namespace vandrel {

ResultFolder MakeResultFolder(const std::string& outputFolder, const std::string& stamp) {
  const std::string parent = StripTrailingSeparators(outputFolder);
  for (int n = 1;; ++n) {
    const std::string path = JoinPath(parent, n == 1 ? stamp : stamp + "_" + std::to_string(n));
    if (MakeDirectory(path)) return {path, true};
    if (!EntryExists(path)) return {path, false};
  }
}

}  // namespace vandrel
