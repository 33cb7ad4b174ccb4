// The folders that the walks of the source tree (header list and
// preprocessing) do not enter, compared by device and inode:
//   - the work folder and the folder set aside beside it, which a source
//     folder at or above the current directory holds;
//   - the output folder, which holds the results of earlier runs, and, when
//     the output folder is a folder of the walk itself (the source folder),
//     the result folders in it (named like 2026年12月10日14時05分09秒).
#pragma once

#include <string>

namespace vandrel {

enum class LeftOutFolder { None, WorkArea, Output };

// What the folder `name` found in the scanned folder `parent` is to the walks.
LeftOutFolder FindLeftOutFolder(const std::string& parent, const std::string& name);

}  // namespace vandrel
