// The accesses of one chosen variable, from the last run's records, into
// vcwk012345/RAM_D/<stamp>/ (copied into the output folder):
//   Ram_<v>.txt       the functions whose access entries hold "<v> ", with totals
//   Ram_<v>.html      the same list as links
//   Ram_<v>Tree.txt   the whole-program call tree with "▲" lines of the entries
//   index.html        frame set: the list, the annotated tree
#pragma once

#include <string>

#include "commands/query_request.h"

namespace vandrel {

extern std::string g_chosenVariableName;
extern std::string g_variableTreePath;
extern int g_ramAccessCount;  // matching access entries
extern int g_ramReadCount;    // of those, entries holding "[R]"
extern int g_ramWriteCount;   // all others

// True when the command ran to its end with its folder copied into the
// output folder; false when another command holding the directory, a check
// or a file that cannot be written ended it, or when the copy failed (its box
// has been shown).
bool OnButton8(const QueryRequest& request);

// Lists the accesses of g_chosenVariableName in the records `folder`/`pattern`
// and annotates the whole-program call tree.
void SearchFile_RamAls_Btn8_DirectRAM(std::string pattern, std::string folder);

}  // namespace vandrel
