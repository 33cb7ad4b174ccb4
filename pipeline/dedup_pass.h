// Step 6: func_als1_5 -> func_als2, read, written and called names listed once.
#pragma once

#include <string>
#include <vector>

#include "run/step_result.h"

namespace vandrel {

StepResult RemoveDuplicateEntries();

// Copies a record; after each tag line of `tags` the entries up to the next
// empty line (or the end) are written once each, in the order of their first
// occurrence, followed by one empty line. An entry "eeed" (the end marker of
// the de-duplicating table, which the table takes for an entry it holds) is
// always dropped.
void WriteDeduplicatedSections(const std::vector<std::string>& in,
                               const std::vector<std::string>& tags, std::string& out);

}  // namespace vandrel
