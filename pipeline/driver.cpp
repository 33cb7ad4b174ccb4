#include "pipeline/driver.h"

#include <functional>

#include "analysis/tree_walkers.h"
#include "pipeline/access_list_pass.h"
#include "pipeline/caller_pass.h"
#include "pipeline/dedup_pass.h"
#include "pipeline/final_records_pass.h"
#include "pipeline/func_info_pass.h"
#include "pipeline/reconcile_pass.h"
#include "pipeline/spec_list_pass.h"
#include "pipeline/subscript_pass.h"
#include "pipeline/texts.h"
#include "pipeline/written_vars_pass.h"
#include "platform/dir_scan.h"
#include "platform/file_ops.h"
#include "platform/host.h"
#include "platform/text_file.h"
#include "platform/work_store.h"
#include "prepro/define_table.h"
#include "prepro/header_list.h"
#include "prepro/prepro_walk.h"
#include "reader/string_table.h"
#include "reports/report_pages.h"
#include "reports/report_trees.h"
#include "run/analysis_log.h"
#include "run/run_state.h"
#include "run/texts.h"
#include "run/work_area.h"
#include "run/work_folder.h"

namespace vandrel {

std::string g_preprocessedTree;

namespace {

constexpr int kNoBase = -1;

// The frame of one step; `work` returns how it ended.
struct Step {
  const char* startLabel;
  const char* endLabel;
  std::string startStatus;
  std::string endStatus;
  int baseAfter;
  std::function<StepResult()> work;
};

void StoreBase(int base) {
  g_progressBase = base;
  g_progressDone = 0;
}

// Steps 1 to 4: END line, then the end status; the abort flag is tested after the step.
bool RunFileStep(const Step& s) {
  SetStatusText(s.startStatus);
  WriteTimestampedLog(s.startLabel);
  s.work();
  WriteTimestampedLog(s.endLabel);
  SetStatusText(s.endStatus);
  StoreBase(s.baseAfter);
  return g_abortRequested.load() != 1;
}

// Steps 5 to 14: the loops test the abort flag; an ended step has no END line.
StepResult RunRecordStep(const Step& s, bool startLineFirst = false) {
  if (startLineFirst) {
    WriteTimestampedLog(s.startLabel);
    SetStatusText(s.startStatus);
  } else {
    SetStatusText(s.startStatus);
    WriteTimestampedLog(s.startLabel);
  }
  StepResult r = StepResult::Done;
  {
    // One line per kind for the step (a name that a pass meets in every
    // record); the groups of its functions go inside.
    LogGroup lines;
    r = s.work();
  }
  if (r != StepResult::Done) return r;
  SetStatusText(s.endStatus);
  WriteTimestampedLog(s.endLabel);
  if (s.baseAfter != kNoBase) StoreBase(s.baseAfter);
  return StepResult::Done;
}

void AbortPath() {
  const bool completed = g_analysisCompleted.load() == 1;
  work_store::End(/*dropWrites=*/!completed);
  if (completed) return;
  SetStatusText(kStatusAborted);
  SetStatusDetail(kDetailAborted);
  if (DeleteFolderTree(kWorkDir) == 0)
    CurrentHost().MessageBox(kMsgWorkDeleteFailed, kCaptionEnd, MessageButtons::Ok);
}

// A failure that ends the run at once: the work folder stays, and the
// progress box is closed without the run-complete flag.
void StopRun() { CurrentHost().PostEndOfRun(); }

void Finish(StepResult r) {
  if (r == StepResult::Aborted)
    AbortPath();
  else if (r == StepResult::Stopped)
    StopRun();
}

// After step 2: the preprocessed tree, the output folder, FILEINFO and the
// type names. False when the source folder has gone since the run began: its
// tree was not (or not wholly) preprocessed, and the passes would take the
// whole DEF folder for it.
bool PrepareAnalysisPasses() {
  DirScan scan;
  if (!scan.FindFile(g_runParameters.sourceEditText)) {
    AppendAnalyzeLog(g_runParameters.sourceEditText, "FILE NOT OPEN\n");
    CurrentHost().MessageBox(kMsgNoProjectFolder, kCaptionEnd, MessageButtons::Ok);
    return false;
  }
  scan.FindNextFile();
  g_preprocessedTree = WorkPath("DEF/" + scan.GetFileName());
  g_runParameters.m_outputFolder = g_runParameters.outputEditText;
  MakeDirectory(kWorkDir);
  MakeDirectory(WorkPath("FILEINFO"));
  ResetTypeNameTable();
  g_typeNameCount = CountTypeNames();
  StoreBase(200);
  return true;
}

std::string J(const char* utf8) { return ToCp932(utf8); }

}  // namespace

// The work folder is kept in memory while the steps run (work_store.h); its
// files are all on the disk once the run has ended, however it ends.
struct KeptWorkFolder {
  KeptWorkFolder() { work_store::Begin(kWorkDir); }
  ~KeptWorkFolder() { work_store::End(); }
  KeptWorkFolder(const KeptWorkFolder&) = delete;
  KeptWorkFolder& operator=(const KeptWorkFolder&) = delete;
};

void RunAnalysisPipeline() {
  const unsigned lostBefore = LostWriteCount();
  KeptWorkFolder kept;
  g_pipelineTrace1 = "start";
  g_pipelineTrace2 = "start";
  g_lineCounter = 0;
  SetStatusText(J("ヘッダ・プリプロ解析中"));
  TextFile(WorkPath("DEF/Header_List.txt"), TextFile::Mode::Write).Close();

  const std::string& src = g_runParameters.m_sourceFolder;
  const Step fileSteps[] = {
      {"HEADER LIST START   ", "HEADER LIST END     ", J("ヘッダ・プリプロ解析中"),
       J("ヘッダ・プリプロ解析終了"), 100,
       [&] { BuildHeaderList("*.*", src); return StepResult::Done; }},
      {"PREPRO START        ", "PREPRO END          ", J("プリプロ解析ソフト作成中"),
       J("プリプロ解析ソフト作成完了"), 200,
       [&] { g_defineCount = 0; PreprocessTree("*.*", src); return StepResult::Done; }},
      {"DEFINE ALS START    ", "DEFINE ALS END      ", J("プログラム定義解析中"),
       J("プログラム定義解析完了"), 250,
       [] { SearchFile_DefineAls("*.*", g_preprocessedTree); return StepResult::Done; }},
      {"FLIE ALS START      ", "FILE ALS END        ", J("ファイル内部解析中"),
       J("ファイル内部解析完了"), 300,
       [] { SearchFile_WordAls("*.*", g_preprocessedTree); return StepResult::Done; }},
  };
  for (int i = 0; i < 4; ++i) {
    if (!RunFileStep(fileSteps[i])) return AbortPath();
    if (i == 1 && !PrepareAnalysisPasses()) return StopRun();
  }

  const Step recordSteps[] = {
      {"FUNC ALS1.5 START   ", "FUNC ALS1.5 END     ", J("ファイル内部解析+"),
       J("ファイル内部解析+完了"), 350, ExpandSubscriptReferences},
      {"FUNC ALS2 START     ", "FUNC ALS2 END       ", J("解析結果整合中"), J("解析結果整合完了"),
       400, RemoveDuplicateEntries},
      {"FUNC ALS3 START     ", "FUNC ALS3 END       ", J("ファイル間の整合解析中"),
       J("ファイル間の整合解析完了"), 500, ReconcileAcrossFiles},
      {"FUNC ALS4 START     ", "FUNC ALS4 END       ", J("解析結果の最適化中"),
       J("解析結果の最適化 完了"), 600, WriteFinalRecords},
      {"CALL LIST START     ", "CALL LIST END       ", J("コールリスト呼出し作成中"),
       J("コールリスト呼出し作成完了"), 700, AppendCallerLists},
      {"VALUE LIST START    ", "VALUE LIST END      ", J("変数抽出・整合中"),
       J("変数抽出・整合終了"), 750, WriteWrittenVariableList},
      {"SPEC LIST START     ", "SPEC LIST END       ", J("制御仕様作成中"), J("制御仕様作成中"),
       800, WriteControlSpecifications},
      {"RAM ACS LIST START  ", "RAM ACS LIST END    ", J("RAMアクセス解析中"),
       J("RAMアクセス解析完了"), kNoBase, WriteAccessLists},
  };
  for (int i = 0; i < 8; ++i) {
    StepResult r = RunRecordStep(recordSteps[i], /*startLineFirst=*/i == 3);
    if (r != StepResult::Done) return Finish(r);
  }

  // Step 13: the report.
  DeleteDirectoryRecursive(g_callTreeDirPath);
  MakeDirectory(g_callTreeDirPath);
  if (!WriteTopPage()) return StopRun();
  const Step reportStep{"CALL TREE START     ", "CALL TREE END       ",
                        J("コールツリー作成中・・"), J("コールツリー作成完了"), kNoBase, [] {
                          StepResult r = WriteReportPages();
                          return r == StepResult::Done ? WriteReportTrees() : r;
                        }};
  if (StepResult r = RunRecordStep(reportStep); r != StepResult::Done) return Finish(r);

  // Step 14: the function information list (SOURCE5 stays empty).
  MakeDirectory(WorkPath("SOURCE5"));
  CreateFunctionInfoList();
  const Step infoStep{"FUNC INFO START     ", "FUNC INFO END       ", J("関数情報抽出中"),
                      J("関数情報抽出完了"), 950, WriteFunctionInfoList};
  if (StepResult r = RunRecordStep(infoStep); r != StepResult::Done) return Finish(r);

  StoreBase(950);
  StoreBase(1000);
  // What the commands on the results look for: only files that hold all
  // that was written to them (no full disk) get it.
  work_store::End();
  if (LostWriteCount() == lostBefore) WriteCompletionMark();
  g_analysisCompleted = 1;
  CurrentHost().PostEndOfRun();
  AbortPath();  // passes through: the run is complete
}

unsigned AnalysisThreadProc() {
  try {
    RunAnalysisPipeline();
  } catch (...) {
    // The passes catch their own failures; whatever escapes still must not
    // leave the progress box waiting for a run that has ended.
    AppendAnalyzeLogEntry("RunAnalysisPipeline", 0, g_pipelineTrace1, g_pipelineTrace2);
    CurrentHost().PostEndOfRun();
  }
  return 0;
}

}  // namespace vandrel
