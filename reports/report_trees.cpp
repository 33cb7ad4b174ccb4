#include "reports/report_trees.h"

#include <atomic>
#include <memory>
#include <vector>

#include "analysis/body_texts.h"
#include "analysis/source_page.h"
#include "platform/dir_scan.h"
#include "platform/file_ops.h"
#include "platform/host.h"
#include "platform/html_text.h"
#include "platform/ordered_work.h"
#include "platform/os_path.h"
#include "platform/text_file.h"
#include "reader/name_suffix_index.h"
#include "reader/splitters.h"
#include "reports/call_tree_writer.h"
#include "reports/texts.h"
#include "run/analysis_log.h"
#include "run/run_state.h"
#include "run/texts.h"
#include "run/work_folder.h"

namespace vandrel {
namespace {

void Box(const std::string& text) { CurrentHost().MessageBox(text, kCaptionEnd, MessageButtons::Ok); }

std::string TreePath(const std::string& name) { return JoinPath(g_callTreeDirPath, name); }

struct AccessCounts {
  long all = 0, reads = 0, writes = 0;
  void Add(const AccessCounts& o) {
    all += o.all;
    reads += o.reads;
    writes += o.writes;
  }
};

void WriteCounts(TextFile& page, const AccessCounts& c) {
  page.Write("\t" + std::to_string(c.all) + kAccessUnit + "\n");
  page.Write("\t(R) " + std::to_string(c.reads) + kAccessUnit + "\n");
  page.Write("\t(W) " + std::to_string(c.writes) + kAccessUnit + "\n");
}

// One access entry of a tree function that matches a variable.
struct Hit {
  int function;  // index into the tree functions
  int entry;     // index into that function's access entries
};

// RAM/<v> and HTML/RAM/<v>.html of one variable from its hits, which stand
// in tree order and, within a function, in entry order.
void WriteVariablePages(const std::string& v, const std::vector<Hit>& hits,
                        const std::vector<TreeFunctionList::Function>& functions,
                        const std::vector<const CallRecord*>& records) {
  TextFile text, html;
  if (!text.Open(WorkPath("RAM/" + v), TextFile::Mode::Write)) Box(kMsgNoVariableList);
  if (html.Open(WorkPath("HTML/RAM/" + v + ".html"), TextFile::Mode::Write))
    html.Write(kVariablePageHead);
  else
    Box(kMsgVariablePageFailed);
  auto toText = [&](const std::string& s) { if (text.IsOpen()) text.Write(s); };
  auto toHtml = [&](const std::string& s) { if (html.IsOpen()) html.Write(s); };

  AccessCounts total;
  for (size_t i = 0; i < hits.size();) {
    const int f = hits[i].function;
    const TreeFunctionList::Function& fn = functions[f];
    const CallRecord& rec = *records[f];
    if (fn.rootLine) toHtml(kRootFunctionMark);
    toHtml("<A href= ..\\" + SourcePageName(fn.name) + ">" + EscapeHtml(fn.name) + "</A><BR>\n");
    AccessCounts counts;
    for (; i < hits.size() && hits[i].function == f; ++i) {
      const std::string& entry = rec.accesses[hits[i].entry];
      ++counts.all;
      ++(MbContains(entry, "[R]") ? counts.reads : counts.writes);
      toHtml(kAccessIndent + EscapeHtml(entry) + "<BR>\n");
    }
    if (!rec.accessesEndAtFileEnd) toHtml("<BR>\n");
    toText(fn.name + "\n");
    if (text.IsOpen()) WriteCounts(text, counts);
    total.Add(counts);
  }
  toText("\n" + kTotalAccesses + "\n");
  if (text.IsOpen()) WriteCounts(text, total);
}

// The pages of every variable of ValList.txt, from the functions of the tree
// as it was drawn.
// An entry with a "." matches v when it holds v + "."; any other entry when
// it holds v + " " (substring tests at character starts, so cnt matches the
// entries of xcnt). All variables are matched at once: at every "." or " "
// of an entry, the names that end right before it.
StepResult WriteAllVariablePages(CallTreeRun& run) {
  MakeDirectory(WorkPath("RAM"));
  MakeDirectory(WorkPath("HTML/RAM"));
  CallRecordCache& cache = run.records;
  const std::vector<TreeFunctionList::Function>& functions = run.textFunctions.Functions();
  TextFile list;
  if (!list.Open(WorkPath("ValList.txt"), TextFile::Mode::Read)) {
    Box(kMsgNoVariableList);
    return StepResult::Done;
  }
  std::vector<std::pair<std::string, int>> variables;  // ValList order, repeats included
  NameSuffixIndex index;
  for (std::string line; list.ReadLine(line);) {
    if (line.empty()) continue;
    std::string type, v;
    ParseDeclaration(line, type, v);
    if (!IsUsableFileName(v)) continue;
    variables.emplace_back(v, index.Add(v));
  }

  std::vector<const CallRecord*> records(functions.size(), nullptr);
  std::vector<std::vector<Hit>> hits(index.Size());
  // The functions are matched at once (the index is only read); their hits
  // join in tree order.
  std::vector<std::vector<std::pair<int, int>>> named(functions.size());  // name id, entry
  ForEachInParallel(functions.size(), [&](size_t f) {
    const CallRecord* rec = cache.Find(functions[f].name);
    if (!rec || !rec->readable || !rec->hasAccessSection) return true;
    records[f] = rec;
    for (size_t e = 0; e < rec->accesses.size(); ++e) {
      const std::string& entry = rec->accesses[e];
      const char separator = MbContains(entry, ".") ? '.' : ' ';
      const std::vector<bool> starts = CharacterStarts(entry);
      const size_t first = named[f].size();
      for (size_t q = 0; q < entry.size(); ++q) {
        if (entry[q] != separator || !starts[q]) continue;
        index.ForEachEndingAt(entry, starts, q, [&](int id) {
          for (size_t k = first; k < named[f].size(); ++k)
            if (named[f][k].first == id) return;
          named[f].emplace_back(id, static_cast<int>(e));
        });
      }
    }
    return true;
  });
  for (size_t f = 0; f < functions.size(); ++f)
    for (const auto& [id, e] : named[f]) hits[id].push_back({static_cast<int>(f), e});

  const size_t done = RunInOrder(
      variables.size(),
      [&](size_t i) {
        // The detail shows where the walk over the tree ends for this variable.
        if (!functions.empty()) SetStatusDetail(functions.back().name);
        WriteVariablePages(variables[i].first, hits[variables[i].second], functions, records);
        return true;
      },
      &g_abortRequested);
  return done < variables.size() ? StepResult::Aborted : StepResult::Done;
}

// The root's page: call_tree.html with the root's tree (what it held before
// the root, then the tree's lines) becomes CallTree_<root>.html. A page name
// that cannot be used or is taken (a root named "index" would replace the
// list) is logged, and call_tree.html keeps what it held before the root.
// The page is opened before the tree is drawn into it (the tree writes no
// page), and what the page name needs is logged after the tree's lines.
class TreePage {
 public:
  TreePage(const std::string& root, std::string before)
      : name_("CallTree_" + root + ".html"), path_(TreePath(name_)), before_(std::move(before)) {
    made_ = FileNameFits(name_) && !PathExists(path_);
  }
  // Opens the page for the tree's lines, or leaves it closed.
  void Open(TextFile& page) const {
    if (!made_) return;
    page.Open(path_, TextFile::Mode::Truncate);
    page.Write(before_);
  }
  // After the tree: true when the page was made.
  bool Finish() const {
    if (made_) {
      DeleteFile(TreePath("call_tree.html"));
      return true;
    }
    if (IsUsableFileName(name_)) AppendAnalyzeLog(path_, kLogPageNameTaken);
    TextFile(TreePath("call_tree.html"), TextFile::Mode::Truncate).Write(before_);
    return false;
  }

 private:
  std::string name_, path_, before_;
  bool made_ = false;
};

}  // namespace

StepResult WriteReportTrees() {
  TextFile text(TreePath("call_tree.txt"), TextFile::Mode::Write);
  TextFile ram(TreePath("call_tree_ram.txt"), TextFile::Mode::Write);
  TextFile html(TreePath("call_tree.html"), TextFile::Mode::Write);
  if (!text.IsOpen() || !ram.IsOpen() || !html.IsOpen()) return StepResult::Stopped;
  html.Write(kTreePageHead);
  text.Close();
  ram.Close();
  html.Close();

  const std::string folder = WorkPath("FunctionList4");
  DirScan scan;
  bool more = scan.FindFile(JoinPath(folder, "*.*"));
  if (!more) {
    Box(kMsgNoFunction);
    return StepResult::Stopped;
  }
  std::vector<std::string> names;
  while (more) {
    more = scan.FindNextFile();
    if (!scan.IsDots() && !scan.IsDirectory()) names.push_back(scan.GetFileName());
  }
  CallTreeRun run(folder, g_callTreeLimits);
  run.records.Preload();
  // What call_tree.html holds before the next root: the page's head until
  // the first root's page is made, then nothing.
  std::atomic<bool> headBefore{true};
  // The roots are drawn at once, each with a budget of its own that counts
  // the run's share as unspent; a root during which the share runs out, and
  // every root after it, is drawn again in order (their trees are short).
  const size_t done = RunInOrder(
      names.size(),
      [&](size_t i) {
        const std::string& root = names[i];
        SetStatusDetail(root);
        const CallRecord* rec = run.records.Find(root);
        if (!rec || !rec->root) return true;
        const bool head = headBefore.load();
        std::shared_ptr<CallTreeBudget> ahead;
        if (ItemContext* item = CurrentItem()) {
          if (run.budget.RunShareSpent()) {
            item->RunAtTurn();
            return true;
          }
          ahead = std::make_shared<CallTreeBudget>(run.budget.AheadOfRun());
          item->Check([&run, &headBefore, ahead, head] {
            return headBefore.load() == head && run.budget.CanAdopt(*ahead);
          });
        }
        auto tree = std::make_shared<RootTree>(run, ahead ? *ahead : run.budget);
        const TreePage page(root, head ? kTreePageHead : std::string());
        page.Open(tree->page);
        g_callTreeDepth = 0;
        WriteCallTree(root, *tree);
        if (ahead && ahead->Stopped()) {
          CurrentItem()->RunAtTurn();  // near the run's share: drawn in order
          return true;
        }
        AtCommit([&run, ahead, tree] {
          if (ahead) run.budget.Adopt(*ahead);
          run.textFunctions.Merge(tree->textFunctions);
        });
        if (!page.Finish()) return true;
        AtCommit([&headBefore] {
          // The roots drawn ahead on the head run again.
          if (headBefore.exchange(false)) NoteSharedChange();
        });
        TextFile index(TreePath("CallTree_index.html"), TextFile::Mode::Append);
        index.Write("<A href= CallTree_" + root + ".html target='mid'>" + EscapeHtml(root) + "</A><BR>\n");
        return true;
      },
      &g_abortRequested, /*ahead=*/1024);
  if (done < names.size()) return StepResult::Aborted;
  scan.Close();
  return WriteAllVariablePages(run);
}

}  // namespace vandrel
