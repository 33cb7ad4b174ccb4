// The call tree of one chosen function, from the last run's records, into
// vcwk012345/HTML/CallTree/<stamp>/ (copied into the output folder):
//   call_tree_<name>.txt    the text tree ("\t|" per depth, "--", the name)
//   call_tree_<name>.html   head, one line group per function, foot
//   index.html              frame set: the record, the text tree
//   <name>                  a copy of the chosen record
#pragma once

#include <string>

#include "commands/query_request.h"

namespace vandrel {

extern std::string g_chosenFunctionName;

// True when the command ran to its end with its folder copied into the
// output folder; false when another command holding the directory, a check
// or a file that cannot be written ended it, or when a copy failed (its box
// has been shown).
bool OnButton7(const QueryRequest& request);

// Draws the tree of the function from the records in the folder, appending
// to g_commandTreeTextPath and g_commandTreeHtmlPath, the function at depth
// g_callTreeDepth (left at that value on return).
void SearchFile_WordAls_Btn7_DirectFunc(std::string name, std::string folder);

}  // namespace vandrel
