// Call trees drawn from the final per-function records (FunctionList4).
//
// The whole-program tree appends to three files of g_callTreeDirPath, d being
// g_callTreeDepth and N the function:
//   call_tree.txt      d x "\t|" "--" N ["[non]"] "\n"        "*IndentOver\n" past depth 25
//   call_tree_ram.txt  the same line, then per variable read / written
//                      15 TABs "R\t" entry "\n" / 15 TABs "W\t" entry "\n"
//   call_tree.html     "<font size='2'>" (d+1) x "　　　|" "--" "</font>" then
//                      "<A href= ..\N.html target='view'>N</A><BR>\n"  or
//                      "<font size='2'>N[non]</font><BR>\n"
//
// No visited set is kept, so a function reached on several paths is drawn on
// each. A budget of tree lines (the variable lines of call_tree_ram.txt count
// as well) bounds dense programs. Once a root's tree has spent its share, it
// goes on in compact form: a function that this tree has already expanded
// gets its node line alone (no variable lines, no subtree), unless it now
// stands at its shallowest depth below the root and was not expanded there
// yet. Once the whole run has spent its share, the compact form holds for the
// rest of the run and for what every tree of the run has expanded, the
// shallowest depth being that below any root of the program. So every
// function within the depth limit still appears, and after the budget each
// function is expanded at most twice: what follows the budget is bounded by
// the size of the program (node lines by its call entries, variable lines by
// its entries).
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/text_file.h"

namespace vandrel {

inline constexpr int kMaxCallTreeDepth = 25;

// What the tree writers and the report read of one record, read once.
struct CallRecord {
  bool readable = false;
  bool root = false;  // "[コール元]" is followed by "NONE_CALLER", an empty line or the end
  std::vector<std::string> reads;   // entries of "[参照変数]" sections before "[書込み変数]"
  std::vector<std::string> writes;  // entries of "[書込み変数]"
  std::vector<std::string> calls;   // entries of "[コール関数]" up to its end
  std::vector<std::string> callees; // the callee name of each call entry
  bool hasAccessSection = false;    // "[変数アクセス情報]" found
  std::vector<std::string> accesses;
  bool accessesEndAtFileEnd = false;  // the access entries ran to the end of the file
};

// The records of one folder, each read at its first use. Names are looked
// up exactly as the folder lists them; only plain files are records.
class CallRecordCache {
 public:
  explicit CallRecordCache(std::string folder);
  const std::string& Folder() const { return folder_; }
  // Nullptr when the folder holds no record of that name. Once Preload has
  // read every record, any thread may look them up at once.
  const CallRecord* Find(const std::string& name);
  // Reads every record, on the work threads.
  void Preload();
  const std::unordered_set<std::string>& Names() const { return names_; }

 private:
  std::string folder_;
  std::unordered_set<std::string> names_;
  std::unordered_map<std::string, std::unique_ptr<CallRecord>> records_;
};

struct CallTreeLimits {
  long linesPerRoot;
  long linesPerRun;
};
// Far above the trees of small programs (the sample draws a dozen lines).
inline constexpr CallTreeLimits kCallTreeLimits{50000, 500000};
// The budget of the report step's whole-program tree and of the two commands
// that draw from the records: the chosen-function tree (one root) and the
// variable command's tree (the whole-program tree again, a run's share).
inline CallTreeLimits g_callTreeLimits = kCallTreeLimits;

// The shallowest depth of each function below a set of roots, down to the
// depth limit, as a breadth-first walk of the records gives it.
class ShallowestDepths {
 public:
  void Clear() { depths_.clear(); }
  bool Empty() const { return depths_.empty(); }
  // Adds roots: the depths below them that are shallower than those known.
  void Reach(const std::vector<std::string>& roots, CallRecordCache& records);
  // -1 when no root reaches `name` within the depth limit.
  int Of(const std::string& name) const;

 private:
  bool Lower(const std::string& name, int depth);
  std::unordered_map<std::string, int> depths_;
};

// The roots below which the compact form of a run takes a function's
// shallowest depth: those drawn so far, or every root of the records as well
// (so that the depths do not change while the run goes on).
enum class RunRoots { kDrawn, kEveryRecord };

// Counts tree lines and decides which functions are expanded; once the
// budget is spent, the compact form. One analysis log entry marks where the
// compact form began, for a root or for the rest of the run.
class CallTreeBudget {
 public:
  CallTreeBudget(CallTreeLimits limits, CallRecordCache& records, RunRoots runRoots = RunRoots::kDrawn)
      : limits_(limits), records_(records), runRoots_(runRoots) {}
  // A budget for one root drawn ahead of the roots before it: the run's
  // share counts as unspent. CanAdopt tells at the root's commit whether it
  // was (else the root is drawn again, in order); Adopt takes the root in.
  // The roots drawn ahead together stop (Stopped) once their lines and the
  // run's would spend its share: such roots are drawn in order anyway, and
  // so what is drawn ahead stays within the run's share.
  CallTreeBudget AheadOfRun();
  CallTreeBudget(const CallTreeBudget& other);
  ~CallTreeBudget();
  bool CanAdopt(const CallTreeBudget& ahead) const;
  void Adopt(const CallTreeBudget& ahead);
  bool Stopped() const { return stopped_; }
  // True once the run's share is spent: roots are then drawn in order only
  // (any thread may ask).
  bool RunShareSpent() const { return runSpent_.load(); }
  void BeginRoot(const std::string& root);
  void CountLine();
  // True when `name`, drawn at `depth`, is to be expanded, its variable lines
  // and callees drawn below its node line (and notes it).
  bool Expand(const std::string& name, int depth);
  bool Compact() const { return compact_; }
  long RootLines() const { return rootLines_; }
  long RunLines() const { return runLines_; }

 private:
  int Shallowest(const std::string& name);

  CallTreeLimits limits_;
  CallRecordCache& records_;
  RunRoots runRoots_;
  std::string root_;
  long rootLines_ = 0;
  long runLines_ = 0;
  bool compact_ = false;     // for the rest of this root's tree
  bool runCompact_ = false;  // for the rest of the run
  // For the threads that draw ahead: runCompact_, runLines_, and the lines
  // of the roots drawn ahead and not yet committed.
  std::atomic<bool> runSpent_{false};
  std::atomic<long> runLinesSeen_{0};
  std::atomic<long> linesAhead_{0};
  CallTreeBudget* shared_ = nullptr;  // of a budget drawn ahead: the run's
  bool stopped_ = false;
  // Shallowest depth of each expansion so far, in this root's tree and in the run.
  std::unordered_map<std::string, int> expandedAt_, runExpandedAt_;
  ShallowestDepths rootDepths_;  // below this root, found when needed
  ShallowestDepths runDepths_;   // below the run's roots, found when needed
  std::vector<std::string> rootsToReach_;  // roots not yet in runDepths_
};

// The functions of call_tree.txt in the order of their first lines there, as
// a reading of the finished file gives them: the name is the line without its
// TABs and "|", then without "[non]" and "--"; "*IndentOver" lines are left
// out. Noted while the lines are written, so the file is not read back.
class TreeFunctionList {
 public:
  struct Function {
    std::string name;
    bool rootLine;  // its first line holds no TAB followed by "|"
  };
  // A line of call_tree.txt as written: `depth` times "\t|", then the rest.
  void Note(const std::string& line, int depth);
  const std::vector<Function>& Functions() const { return functions_; }
  // Adds the functions of a list noted after this one, as if noted here.
  void Merge(const TreeFunctionList& later);

 private:
  struct Seen {
    std::string name;
    bool marker;  // an "*IndentOver" line
  };
  std::vector<Function> functions_;
  std::unordered_set<std::string> listed_;
  std::unordered_map<std::string, Seen> byLine_;  // by the line after its depth
};

// Line forms shared by the call-tree writers.
std::string CallTreeTextLine(int depth, const std::string& name, bool hasRecord);
std::string CallTreeIndent(int depth);  // depth + 1 groups "　　　|"

// The whole-program tree of one report step: the record cache and the
// budget last for all its roots.
struct CallTreeRun {
  explicit CallTreeRun(std::string recordFolder, CallTreeLimits limits = kCallTreeLimits)
      : records(std::move(recordFolder)), budget(limits, records, RunRoots::kEveryRecord) {}
  CallRecordCache records;
  CallTreeBudget budget;
  TreeFunctionList textFunctions;  // of the lines written to call_tree.txt
};

// One root's tree as it is drawn: the two text files are open while it is
// drawn, its page lines go to `page` (when open), and the functions of its
// text lines are noted.
struct RootTree {
  RootTree(CallTreeRun& r, CallTreeBudget& b) : run(r), budget(b) {}
  CallTreeRun& run;
  CallTreeBudget& budget;
  TextFile text, ram, page;
  TreeFunctionList textFunctions;
};

// Draws the tree of one root from depth g_callTreeDepth (0), appending to
// call_tree.txt and call_tree_ram.txt in g_callTreeDirPath and to the page
// the caller opened. g_callTreeDepth is as it was when the call returns.
void WriteCallTree(std::string name, RootTree& tree);

}  // namespace vandrel
