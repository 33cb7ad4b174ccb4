// The folders that the walks of the source tree (header list and
// preprocessing) do not enter, compared by device and inode:
//   - the work folder and the folder set aside beside it, which a source
//     folder at or above the current directory holds;
//   - the output folder, which holds the results of earlier runs;
//   - a result folder of any run, wherever it lies: a folder that holds the
//     three folders "DEFINE", "プリプロ展開ソフト" and "[解析テンポラリ]",
//     which a result folder holds from the moment its copies begin.
#pragma once

#include <string>

namespace vandrel {

enum class LeftOutFolder { None, WorkArea, Output, Result };

// What the folder `name` found in the scanned folder `parent` is to the walks.
LeftOutFolder FindLeftOutFolder(const std::string& parent, const std::string& name);

}  // namespace vandrel
