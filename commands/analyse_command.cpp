#include "commands/analyse_command.h"

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "commands/result_folder.h"
#include "commands/texts.h"
#include "pipeline/driver.h"
#include "pipeline/texts.h"
#include "platform/clock.h"
#include "platform/dir_scan.h"
#include "platform/file_ops.h"
#include "platform/host.h"
#include "platform/os_path.h"
#include "platform/ordered_work.h"
#include "platform/parallel_work.h"
#include "platform/text_file.h"
#include "prepro/define_table.h"
#include "reader/splitters.h"
#include "run/analysis_log.h"
#include "run/run_state.h"
#include "run/texts.h"
#include "run/work_area.h"
#include "run/work_folder.h"

namespace vandrel {
namespace {

std::thread g_worker;
std::atomic<bool> g_workerFinished{true};
const AnalyseView* g_workerView = nullptr;  // whose command started the worker

// The worker shares the work area's lock with its command: a worker whose
// box was closed early still writes the work folder after the command ends.
void StartWorker(AnalyseView& view, std::shared_ptr<FileLock> lock) {
  g_workerFinished = false;
  g_workerView = &view;
  g_worker = std::thread([held = std::move(lock)]() mutable {
    AnalysisThreadProc();
    held.reset();  // before the end is seen: a waiter may lock at once
    g_workerFinished = true;
  });
}

// A worker of a cancelled or early-closed run must not meet the new run.
void StopOldWorker(AnalyseView& view) {
  if (!g_worker.joinable()) return;
  if (!g_workerFinished) {
    g_abortRequested = 1;
    view.WaitUntil([] { return g_workerFinished.load(); });
  }
  g_worker.join();
}

void Box(const std::string& text) {
  CurrentHost().MessageBox(text, kCaptionEnd, MessageButtons::Ok);
}

// The directory search on exactly the given text: the entry found, if any.
bool FindEntry(const std::string& path, std::string& name, bool& isDirectory) {
  DirScan scan;
  if (!scan.FindFile(path)) return false;
  scan.FindNextFile();
  name = scan.GetFileName();
  isDirectory = scan.IsDirectory();
  return true;
}

// The previous work folder is only moved aside here and deleted once the run
// has ended: a file system without a journal (ext4) does not reuse the inodes
// of files deleted in the last minutes, and creating the new work folder's
// files right after deleting the old one's took many times as long.
void Prepare() {
  SetStatusText(kStatusPreparing);
  SetStatusDetail(kDetailDeletingWork);
  DeleteFolderTree(kOldWorkDir);  // left by a run that did not end
  if (!RenameFile(kWorkDir, kOldWorkDir)) DeleteFolderTree(kWorkDir);
  DeleteFile(kAnalyzeLogPath);
  for (const char* sub : {"", "DEF", "DEF/TMP", "fileinfo2", "DEF2", "DEF3"})
    MakeDirectory(*sub ? WorkPath(sub) : kWorkDir);
  WriteTimestampedLog("ANALYSYS START    ");
}

// Runs work on a thread of its own while the view waits: the dialog goes on
// painting, its input stays blocked. An exception comes back to the caller.
void RunWhileViewWaits(AnalyseView& view, const std::function<void()>& work) {
  RunWhileWaiting(work, [&view](const std::function<bool()>& done) { view.WaitUntil(done); });
}

struct Copy {
  bool folder;
  std::string source;       // below the current directory
  std::string destination;  // below the result folder ("" for the folder itself)
  bool createFirst;
  std::string failure;
};

// Copies the results of a completed run; true when every copy succeeded.
// The status detail names each copy as it starts ("コピー中 HTML").
bool CopyResults(const std::string& res, const std::string& sourceName, AnalyseView& view) {
  const std::string cur = JoinPath(CurrentDirectory(), "vcwk012345");
  const std::string fail = ToCp932("コピー失敗");
  const std::string ramFail = ToCp932("RAM解析結果コピー失敗");
  const Copy rows[] = {
      {true, "HTML", "", false, fail},
      {true, "FunctionList4", "", false, ToCp932("関数解析結果コピー失敗")},
      {true, "RAM", "", false, ramFail},
      {true, "DEF", kFolderDefinitions, true, ToCp932("DEFINEコピー失敗")},
      {true, "DEF/" + sourceName, kFolderExpandedSource, true, ToCp932("展開ソフトコピー失敗")},
      {false, "index.html", "index.html", false, fail},
      {false, "tarnibel.html", "tarnibel.html", false, fail},
      {false, "FILEINFO/FileFuncInfo.txt", "FileFuncInfo.txt", false, fail},
      {true, "RAM_ALL", "", false, ramFail},
      {false, "FuncList_ProtType.txt", "FunctionList_ProtType.txt", false,
       ToCp932("[FunctionList_ProtType.txt]コピー失敗")},
      {false, "FuncList_Body.txt", "FunctionList_Body.txt", false,
       ToCp932("[FunctionList_Body.txt]コピー失敗")},
      {false, "Typedef.txt", "TypeDefine.txt", false, ToCp932("[TypeDefine.txt]コピー失敗")},
      {false, "ValList.txt", "RamDefine.txt", false, ToCp932("[RamDefine.txt]コピー失敗")},
      {false, "ValList2.txt", "DetectRamAll.txt", false, ToCp932("[RamAll.txt]コピー失敗")},
      {false, "HTML/CallTree/call_tree.txt", "CallTree.txt", false,
       ToCp932("[CallTree.txt]コピー失敗")},
      {false, "HTML/CallTree/call_tree_ram.txt", "CallTree_RAM_ACCESS.txt", false,
       ToCp932("[CallTree_RAM_ACCESS.txt]コピー失敗")},
  };
  // The copies go on at the same time; the failures are shown afterwards, in
  // the order of the rows.
  struct Job {
    std::function<bool()> copy;
    std::string failure;
    std::string detail;  // the status detail while it runs
  };
  std::vector<Job> jobs;
  size_t frameSet = 0;
  for (const Copy& c : rows) {
    std::string dst = c.destination.empty() ? res : JoinPath(res, c.destination);
    if (c.createFirst) MakeDirectory(dst);
    std::string from = JoinPath(cur, c.source);
    if (c.source == "index.html") frameSet = jobs.size();
    std::string detail = kDetailCopying + (c.destination.empty() ? c.source : c.destination);
    if (c.folder)
      jobs.push_back(
          {[from, dst] { return CopyFolderTo(from, dst, &g_abortRequested) == 1; }, c.failure, detail});
    else
      jobs.push_back({[from, dst] { return CopyFile(from, dst); }, c.failure, detail});
    if (c.source == "HTML/CallTree/call_tree_ram.txt") {
      // The log, then the whole work folder.
      jobs.push_back({[res] {
                        return CopyFile(JoinPath(CurrentDirectory(), "AnalyzeLog.txt"),
                                        JoinPath(res, "AnalyzeLog.txt"));
                      },
                      ToCp932("[AnalyzeLog.txt]コピー失敗"), kDetailCopying + "AnalyzeLog.txt"});
      std::string workCopy = JoinPath(res, kFolderWorkCopy);
      MakeDirectory(workCopy);
      jobs.push_back({[cur, workCopy] { return CopyFolderTo(cur, workCopy, &g_abortRequested) == 1; },
                      ToCp932("[解析テンポラリ]コピー失敗"), kDetailCopying + kFolderWorkCopy});
    }
  }
  // The frame set comes last, and only after every other copy succeeded: a
  // result folder with an index.html holds all the rest (a frame set left out
  // counts as a failed copy). A cancel (Ctrl-C) stops the copies and shows no box.
  // The copies run at once. Each shows its status detail as it begins, in
  // row order: they are taken in that order, and each waits for the one
  // before it to have shown its own.
  std::vector<char> done(jobs.size(), 0);
  std::vector<size_t> rest;
  for (size_t i = 0; i < jobs.size(); ++i)
    if (i != frameSet) rest.push_back(i);
  std::atomic<size_t> shown{0};
  RunWhileViewWaits(view, [&] {
    ForEachInParallel(rest.size(), [&](size_t k) {
      while (shown.load() != k) std::this_thread::yield();
      const bool go = g_abortRequested.load() != 1;
      if (go) SetStatusDetail(jobs[rest[k]].detail);
      shown = k + 1;
      if (go) done[rest[k]] = jobs[rest[k]].copy();
      return true;
    });
    size_t copied = 0;
    for (char d : done) copied += d ? 1 : 0;
    if (g_abortRequested.load() != 1 && copied + 1 == jobs.size()) {
      SetStatusDetail(jobs[frameSet].detail);
      done[frameSet] = jobs[frameSet].copy();
    }
  });
  if (g_abortRequested.load() == 1) return false;
  bool all = true;
  for (size_t i = 0; i < jobs.size(); ++i) {
    if (done[i]) continue;
    all = false;
    Box(jobs[i].failure);
  }
  return all;
}

std::vector<std::string> ReadFunctionNames() {
  std::vector<std::string> names;
  TextFile f;
  if (!f.Open(WorkPath("FuncList_Body.txt"), TextFile::Mode::Read)) return names;
  std::string line, ret, name, params;
  while (f.ReadLine(line)) {
    SplitPrototype(line, ret, name, params);
    names.push_back(name);
  }
  return names;
}

std::vector<std::string> ReadVariableNames() {
  std::vector<std::string> names;
  TextFile f;
  if (!f.Open(WorkPath("ValList2.txt"), TextFile::Mode::Read)) return names;
  std::string line;
  while (f.ReadLine(line) && line != "@1END") {
    if (!MbContains(line, "*")) names.push_back(line);
  }
  return names;
}

// Deletes the set-aside work folder however the run ends.
struct OldWorkFolderDeletion {
  ~OldWorkFolderDeletion() { DeleteFolderTree(kOldWorkDir); }
};

// A run after the pipeline's end that is cancelled (Ctrl-C during the
// copies) or incomplete: nothing of it is offered. The result folder it made
// is removed, and the work folder loses its completion mark.
AnalyseResult DiscardRun(AnalyseOutcome outcome, const ResultFolder& folder, AnalyseView& view) {
  if (folder.made) DeleteFolderTree(folder.path);
  DeleteCompletionMark();
  view.DisableResultCommands();
  AnalyseResult result;
  result.outcome = outcome;
  return result;
}

AnalyseResult Analyse(const AnalyseRequest& request, AnalyseView& view) {
  AnalyseResult result;
  // A worker this view's last run left running (its box was closed early)
  // holds the lock for it: it is stopped first. Another command's worker
  // keeps the lock, and this run is refused before it touches anything.
  if (g_workerView == &view) StopOldWorker(view);
  auto lock = std::make_shared<FileLock>();
  if (!LockWorkArea(*lock)) return result;
  StopOldWorker(view);
  OldWorkFolderDeletion deletion;  // under the lock
  g_callTreeDepth = 0;
  g_analysisCompleted = 0;
  g_progressTotal = 0;
  g_lineCounter = 0;
  g_runParameters.sourceEditText = request.sourceFolder;
  g_runParameters.outputEditText = request.outputFolder;
  g_runParameters.m_includeLocals = request.includeLocals ? 1 : 0;
  const unsigned lostBefore = LostWriteCount();
  Prepare();

  std::string sourceName, outputName;
  bool isDirectory = false, outputIsDirectory = false;
  g_runParameters.m_sourceFolder = request.sourceFolder;
  if (!FindEntry(request.sourceFolder, sourceName, isDirectory)) {
    Box(kMsgNoProjectFolder);
    return result;
  }
  if (!isDirectory) {
    Box(kMsgNotADirectory);
    return result;
  }
  g_runParameters.m_outputFolder = request.outputFolder;
  // The run deletes the work folder and the one set aside: no place for results.
  if (!FindEntry(request.outputFolder, outputName, outputIsDirectory) ||
      IsInWorkArea(request.outputFolder)) {
    Box(kMsgNoOutputFolder);
    return result;
  }

  g_defOutputDir = WorkPath("DEF/" + sourceName);
  MakeDirectory(g_defOutputDir);
  g_memoryFactor = request.memoryFactor < 1 ? 1 : request.memoryFactor > 4 ? 4 : request.memoryFactor;
  g_abortRequested = 0;
  g_progressBase = 0;
  g_progressDone = 0;
  CurrentHost().ForgetEndOfRun();
  StartWorker(view, lock);
  view.RunProgressBox();

  if (g_abortRequested.load() == 1) {
    view.DisableResultCommands();
    result.outcome = AnalyseOutcome::Cancelled;
    return result;
  }
  if (g_analysisCompleted.load() != 1) {
    result.outcome = AnalyseOutcome::ClosedEarly;
    return result;
  }
  // Completed: the worker has posted its end and is returning.
  view.WaitUntil([] { return g_workerFinished.load(); });
  g_worker.join();

  WriteTimestampedLog("ANALYSYS END        ");
  // A file of the run that lost writes (a full disk; the log names it when
  // it could take the line) leaves nothing whole to copy.
  const bool writesLost = LostWriteCount() != lostBefore;
  ResultFolder folder;
  bool whole = false;
  if (!writesLost) {
    folder = MakeResultFolder(request.outputFolder, FormatLocalTime(kResultStampFormat));
    whole = CopyResults(folder.path, sourceName, view);
  }
  // Before the closing question; a large folder takes as long as the copies.
  SetStatusDetail(kDetailDeletingWork);
  RunWhileViewWaits(view, [] { DeleteFolderTree(kOldWorkDir); });
  if (g_abortRequested.load() == 1) {
    SetStatusText(kStatusAborted);
    SetStatusDetail(kDetailAborted);
    return DiscardRun(AnalyseOutcome::Cancelled, folder, view);
  }
  if (!whole) {
    SetStatusText(kStatusAnalysisDone);
    SetStatusDetail(kDetailAnalysisDone);
    if (writesLost) Box(kMsgWritesLost);  // the failed copies have shown theirs
    return DiscardRun(AnalyseOutcome::Incomplete, folder, view);
  }

  result.outcome = AnalyseOutcome::Completed;
  result.resultFolder = folder.path;
  view.EnableResultCommands();
  view.AddFunctionNames(ReadFunctionNames());
  view.AddVariableNames(ReadVariableNames());
  SetStatusText(kStatusAnalysisDone);
  SetStatusDetail(kDetailAnalysisDone);
  if (CurrentHost().ConfirmOpen(kAskOpenResult, kCaptionEnd)) {
    if (!CurrentHost().OpenDocument(JoinPath(folder.path, "index.html"))) Box(kMsgOpenIndexFailed);
  }
  return result;
}

}  // namespace

AnalyseResult OnAnalyse(const AnalyseRequest& request, AnalyseView& view) {
  try {
    return Analyse(request, view);
  } catch (...) {
    CurrentHost().PostEndOfRun();
    return AnalyseResult{};
  }
}

bool AnalysisWorkerRunning() { return g_worker.joinable() && !g_workerFinished.load(); }

void JoinAnalysisWorker() {
  if (g_worker.joinable()) g_worker.join();
}

}  // namespace vandrel
