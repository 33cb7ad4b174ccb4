#include "reports/call_tree_writer.h"

#include <algorithm>
#include <limits>

#include "analysis/body_texts.h"
#include "analysis/source_page.h"
#include "platform/cp932.h"
#include "platform/dir_scan.h"
#include "platform/html_text.h"
#include "platform/ordered_work.h"
#include "platform/os_path.h"
#include "reader/splitters.h"
#include "reports/texts.h"
#include "run/analysis_log.h"
#include "run/run_state.h"
#include "run/work_folder.h"

namespace vandrel {
namespace {

const std::string g_tabRunString(15, '\t');

bool EndsEntries(const std::string& line) { return line.empty() || line == kNoEntry; }

// Index of the first line equal to `tag` at or after `from`, or lines.size().
size_t FindTag(const std::vector<std::string>& lines, const std::string& tag, size_t from = 0) {
  return std::find(lines.begin() + std::min(from, lines.size()), lines.end(), tag) - lines.begin();
}

CallRecord ParseRecord(const std::vector<std::string>& lines) {
  CallRecord r;
  r.readable = true;
  const size_t n = lines.size();

  // Up to "[書込み変数]", every "[参照変数]" on the way gives its entries.
  size_t i = 0;
  while (i < n && lines[i] != kTagWrites) {
    if (lines[i++] != kTagReads) continue;
    while (i < n && !EndsEntries(lines[i])) r.reads.push_back(lines[i++]);
    ++i;  // the line that ended the entries
  }
  for (++i; i < n && !EndsEntries(lines[i]); ++i) r.writes.push_back(lines[i]);

  for (i = FindTag(lines, kTagCallees) + 1; i < n && !EndsEntries(lines[i]) &&
                                       lines[i] != " NO_CALL_FUNCTION ";
       ++i) {
    std::string first, name, params;
    SplitCallText(lines[i], first, name, params);
    r.calls.push_back(lines[i]);
    r.callees.push_back(name);
  }

  i = FindTag(lines, kTagAccesses);
  r.hasAccessSection = i < n;
  for (++i; i < n && !EndsEntries(lines[i]); ++i) r.accesses.push_back(lines[i]);
  r.accessesEndAtFileEnd = i >= n;

  i = FindTag(lines, kTagCallers);
  r.root = i < n && (i + 1 == n || lines[i + 1] == "NONE_CALLER" || lines[i + 1].empty());
  return r;
}

void WriteLine(TextFile& f, const std::string& text) {
  if (f.IsOpen()) f.Write(text);
}

struct TreeDrawer {
  RootTree& run;

  void Marker() {
    WriteLine(run.text, kTreeIndentOver + "\n");
    WriteLine(run.ram, kTreeIndentOver + "\n");
    run.budget.CountLine();
  }

  void NoRecord(int depth, const std::string& name) {
    std::string line = CallTreeTextLine(depth, name, false);
    if (run.text.IsOpen()) run.textFunctions.Note(line, depth);
    WriteLine(run.text, line);
    WriteLine(run.ram, line);
    run.budget.CountLine();
    WriteLine(run.page, "<font size='2'>" + CallTreeIndent(depth) + "--</font><font size='2'>" +
                            EscapeHtml(name) + kTreeNoRecord + "</font><BR>\n");
  }

  void Draw(const std::string& name) {
    if (run.budget.Stopped()) return;
    const int depth = g_callTreeDepth;
    try {
      g_callTreeTrace1 = "start";
      g_callTreeTrace2 = "start";
      const CallRecord* rec = run.run.records.Find(name);
      if (!rec) return NoRecord(depth, name);
      if (!rec->readable || !run.text.IsOpen() || !run.ram.IsOpen()) return;
      std::string line = CallTreeTextLine(depth, name, true);
      run.textFunctions.Note(line, depth);
      run.text.Write(line);
      run.ram.Write(line);
      run.budget.CountLine();
      WriteLine(run.page, "<font size='2'>" + CallTreeIndent(depth) + "--</font><A href= ..\\" +
                              SourcePageName(name) + " target='view'>" + EscapeHtml(name) + "</A><BR>\n");
      if (!run.budget.Expand(name, depth)) return;
      // The variable lines count against the budget as well.
      for (const std::string& v : rec->reads) {
        run.ram.Write(g_tabRunString + "R\t" + v + "\n");
        run.budget.CountLine();
      }
      for (const std::string& v : rec->writes) {
        run.ram.Write(g_tabRunString + "W\t" + v + "\n");
        run.budget.CountLine();
      }
      for (size_t i = 0; i < rec->callees.size(); ++i) {
        g_callTreeTrace1 = rec->calls[i];
        if (depth + 1 > kMaxCallTreeDepth) return Marker();
        g_callTreeDepth = depth + 1;
        Draw(rec->callees[i]);
        g_callTreeDepth = depth;
      }
    } catch (...) {
      g_callTreeDepth = depth;
      AppendAnalyzeLogEntry(LogKind{kTreeExceptionText}, g_currentSourceFile, g_lineCounter, g_callTreeTrace1,
                            kTreeExceptionText);
    }
  }
};

}  // namespace

CallRecordCache::CallRecordCache(std::string folder) : folder_(std::move(folder)) {
  DirScan scan;
  bool more = scan.FindFile(JoinPath(folder_, "*.*"));
  while (more) {
    more = scan.FindNextFile();
    if (!scan.IsDots() && !scan.IsDirectory()) names_.insert(scan.GetFileName());
  }
}

namespace {

std::unique_ptr<CallRecord> ReadRecord(const std::string& path) {
  auto record = std::make_unique<CallRecord>();
  TextFile f;
  if (f.Open(path, TextFile::Mode::Read)) {
    std::vector<std::string> lines;
    for (std::string line; f.ReadLine(line);) lines.push_back(line);
    *record = ParseRecord(lines);
  }
  return record;
}

}  // namespace

const CallRecord* CallRecordCache::Find(const std::string& name) {
  auto it = records_.find(name);
  if (it != records_.end()) return it->second.get();
  if (!names_.count(name)) return nullptr;
  return (records_[name] = ReadRecord(JoinPath(folder_, name))).get();
}

void CallRecordCache::Preload() {
  std::vector<std::string> names(names_.begin(), names_.end());
  std::vector<std::unique_ptr<CallRecord>> read(names.size());
  ForEachInParallel(names.size(), [&](size_t i) {
    if (!records_.count(names[i])) read[i] = ReadRecord(JoinPath(folder_, names[i]));
    return true;
  });
  for (size_t i = 0; i < names.size(); ++i)
    if (read[i]) records_[names[i]] = std::move(read[i]);
}

CallTreeBudget CallTreeBudget::AheadOfRun() {
  CallTreeLimits limits = limits_;
  limits.linesPerRun = std::numeric_limits<long>::max();
  CallTreeBudget ahead(limits, records_, runRoots_);
  ahead.shared_ = this;
  return ahead;
}

// A copy for a root drawn ahead (nothing of the run's state goes with it).
CallTreeBudget::CallTreeBudget(const CallTreeBudget& o) : CallTreeBudget(o.limits_, o.records_, o.runRoots_) {
  shared_ = o.shared_;
}

CallTreeBudget::~CallTreeBudget() {
  if (shared_) shared_->linesAhead_ -= rootLines_;
}

// Read by the work threads too, hence the run's atomic copies.
bool CallTreeBudget::CanAdopt(const CallTreeBudget& ahead) const {
  return !runSpent_.load() && runLinesSeen_.load() + ahead.rootLines_ < limits_.linesPerRun;
}

void CallTreeBudget::Adopt(const CallTreeBudget& ahead) {
  root_ = ahead.root_;
  rootLines_ = ahead.rootLines_;
  runLines_ += ahead.rootLines_;
  runLinesSeen_ = runLines_;
  rootsToReach_.push_back(ahead.root_);
  for (const auto& [name, depth] : ahead.expandedAt_) {
    auto [mark, first] = runExpandedAt_.try_emplace(name, depth);
    if (!first) mark->second = std::min(mark->second, depth);
  }
}

void CallTreeBudget::BeginRoot(const std::string& root) {
  root_ = root;
  rootLines_ = 0;
  expandedAt_.clear();
  rootDepths_.Clear();
  rootsToReach_.push_back(root);
  compact_ = runCompact_;
}

void CallTreeBudget::CountLine() {
  ++rootLines_;
  ++runLines_;
  if (shared_) {
    if (shared_->runLinesSeen_.load() + ++shared_->linesAhead_ >= shared_->limits_.linesPerRun) stopped_ = true;
  } else {
    runLinesSeen_.store(runLines_, std::memory_order_relaxed);
  }
  // The run's share is watched in a compact tree as well.
  if (!runCompact_ && runLines_ >= limits_.linesPerRun) {
    compact_ = runCompact_ = true;
    runSpent_ = true;
    AppendAnalyzeLogEntry(root_, static_cast<int>(runLines_), kTreeCompactLabel, kTreeCompactRun);
  } else if (!compact_ && rootLines_ >= limits_.linesPerRoot) {
    compact_ = true;
    AppendAnalyzeLogEntry(root_, static_cast<int>(rootLines_), kTreeCompactLabel, kTreeCompactRoot);
  }
}

bool CallTreeBudget::Expand(const std::string& name, int depth) {
  const auto& expanded = runCompact_ ? runExpandedAt_ : expandedAt_;
  auto it = expanded.find(name);
  if (compact_ && it != expanded.end() && (it->second <= depth || Shallowest(name) != depth)) return false;
  for (auto* at : {&expandedAt_, &runExpandedAt_}) {
    auto [mark, first] = at->try_emplace(name, depth);
    if (!first) mark->second = std::min(mark->second, depth);
  }
  return true;
}

int CallTreeBudget::Shallowest(const std::string& name) {
  if (!runCompact_) {
    if (rootDepths_.Empty()) rootDepths_.Reach({root_}, records_);
    return rootDepths_.Of(name);
  }
  if (runDepths_.Empty() && runRoots_ == RunRoots::kEveryRecord)
    for (const std::string& f : records_.Names())
      if (records_.Find(f)->root) rootsToReach_.push_back(f);
  if (!rootsToReach_.empty()) runDepths_.Reach(rootsToReach_, records_);
  rootsToReach_.clear();
  return runDepths_.Of(name);
}

void ShallowestDepths::Reach(const std::vector<std::string>& roots, CallRecordCache& records) {
  std::vector<std::string> level;
  for (const std::string& root : roots)
    if (Lower(root, 0)) level.push_back(root);
  for (int depth = 1; depth <= kMaxCallTreeDepth && !level.empty(); ++depth) {
    std::vector<std::string> next;
    for (const std::string& f : level) {
      const CallRecord* rec = records.Find(f);
      if (!rec) continue;
      for (const std::string& c : rec->callees)
        if (Lower(c, depth)) next.push_back(c);
    }
    level = std::move(next);
  }
}

bool ShallowestDepths::Lower(const std::string& name, int depth) {
  auto [it, first] = depths_.try_emplace(name, depth);
  if (first) return true;
  if (it->second <= depth) return false;
  it->second = depth;
  return true;
}

int ShallowestDepths::Of(const std::string& name) const {
  auto it = depths_.find(name);
  return it == depths_.end() ? -1 : it->second;
}

void TreeFunctionList::Merge(const TreeFunctionList& later) {
  for (const Function& f : later.functions_)
    if (listed_.insert(f.name).second) functions_.push_back(f);
}

void TreeFunctionList::Note(const std::string& line, int depth) {
  // Past its "\t|" groups, which the name loses anyway, a line reads the same
  // at every depth, so each form is worked out once.
  const std::string rest = line.substr(2 * static_cast<size_t>(depth));
  auto it = byLine_.find(rest);
  if (it == byLine_.end()) {
    std::string body = rest;
    if (!body.empty() && body.back() == '\n') body.pop_back();
    std::string name = MbRemoveAll(MbRemoveAll(body, "\t"), "|");
    name = MbRemoveAll(MbRemoveAll(name, kTreeNoRecord), "--");
    it = byLine_.emplace(rest, Seen{name, MbContains(body, kTreeIndentOver)}).first;
  }
  const Seen& seen = it->second;
  if (seen.marker || !listed_.insert(seen.name).second) return;
  functions_.push_back({seen.name, depth == 0 && !MbContains(rest, "\t|")});
}

std::string CallTreeTextLine(int depth, const std::string& name, bool hasRecord) {
  std::string line;
  for (int i = 0; i < depth; ++i) line += "\t|";
  line += "--" + name;
  if (!hasRecord) line += kTreeNoRecord;
  return line + "\n";
}

std::string CallTreeIndent(int depth) {
  std::string p;
  for (int i = 0; i <= depth; ++i) p += kTreeIndentGroup;
  return p;
}

void WriteCallTree(std::string name, RootTree& tree) {
  LogGroup lines;  // one line per kind for the root's tree
  const std::string dir = g_callTreeDirPath;
  tree.budget.BeginRoot(name);
  // Files that cannot be opened stay closed; the drawer skips what they miss.
  if (tree.text.Open(JoinPath(dir, "call_tree.txt"), TextFile::Mode::Append) &&
      !tree.ram.Open(JoinPath(dir, "call_tree_ram.txt"), TextFile::Mode::Append))
    tree.text.Close();
  TreeDrawer{tree}.Draw(name);
  tree.text.Close();
  tree.ram.Close();
  tree.page.Close();
}

}  // namespace vandrel
