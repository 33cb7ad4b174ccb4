// Step 1: Header_List.txt, one line per header of the source tree.
#pragma once

#include <string>

namespace vandrel {

void BuildHeaderList(const std::string& mask, const std::string& folder);

}  // namespace vandrel
