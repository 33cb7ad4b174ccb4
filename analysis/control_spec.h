// The control design of one function: SOURCE/<f> -> SOURCE3/<f>.
//
// One line per statement that produced pieces: depth + 1 TABs and the tag,
// then the statement's tokens, every piece followed by U+3000.
//   if (a > 0) {     at depth 0  ->  "\t[条件分岐1] 　a　>　0　"
//   x = 1;           at depth 1  ->  "\t\t[処理] 　x　=　1　"
#pragma once

#include <string>
#include <vector>

namespace vandrel {

inline constexpr int kSpecPieceSlots = 1000;
inline constexpr int kDesignLabelSlots = 100;

// The pieces of the current statement (a full table takes no more pieces).
extern thread_local std::vector<std::string> g_specPieceTable;
extern thread_local int g_specPieceCount;
// Level and branch labels: entry n holds n + 1 for n below 20, then "".
extern const std::vector<std::string> g_designLevelTable;
extern const std::vector<std::string> g_designBranchTable;
// Branch counter of the current "else if" chain.
extern thread_local int g_designElifCount;

// Reads the SOURCE file at `path` and writes SOURCE3/<name>: 1 when it ends
// (also after a logged exception), 255 when a file cannot be opened.
int WordAlsFuncltion_Als3(std::string path, std::string name);

// Renders `tag` at `depth` into `slot`: depth + 1 TABs and the tag, the
// condition tags numbered by level and branch ("[条件分岐2-1] ").
void SetDesignTAG(std::string tag, int depth, std::string& slot);

}  // namespace vandrel
