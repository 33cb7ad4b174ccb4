// Splitters of the tab-separated lines that the passes write and read back.
#pragma once

#include <string>

namespace vandrel {

// Cuts at the first "(" and at the last blank (else tab) before the byte in
// front of it: return part, name, and the parameter part from "(" on.
void SplitPrototype(std::string line, std::string& returnPart, std::string& name,
                    std::string& params);

}  // namespace vandrel
