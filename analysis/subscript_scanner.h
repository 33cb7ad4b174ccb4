// The subscript reference scanner of the subscript expansion pass.
//
// The pass cuts the tokens of a "[参照変数]" entry with NextRawToken; when it
// has cut a "[", it calls ScanSubscriptReferences with the same line, which
// cuts the subscript's tokens up to the matching "]" and stores every
// variable found in them, as text + "\n", at references[g_referenceCount]
// (the table grows when that slot is past its end), advancing the count.
// The pass sets g_referenceCount to 0 before each entry.
//
// The result is the token that closed the level, which the pass puts after
// its "[": "]", or "" after a nested subscript (the outer "]" is then still
// on the line) and when the line or the 500-token window ends first.
//
//   a[i]        i                 returns "]"
//   a[i + 1]    i                 (a name ends at an operator)
//   a[p->idx]   idx               (each name moves the start)
//   a[b[i]]     i, b[]            returns ""
//   a[3]        nothing           returns "]"
#pragma once

#include <string>
#include <vector>

#include "reader/lexer.h"

namespace vandrel {

extern thread_local int g_referenceCount;

std::string ScanSubscriptReferences(LineBuffer& line, std::vector<std::string>& references);

}  // namespace vandrel
