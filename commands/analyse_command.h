// The analyse command: preparation, the three checks, the worker and the
// progress box, the copies into the result folder and the closing question.
// The front end supplies the dialog's side through AnalyseView.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vandrel {

struct AnalyseRequest {
  std::string sourceFolder;  // text of the source-folder edit (CP932)
  std::string outputFolder;  // text of the output-folder edit
  int memoryFactor = 1;      // slider, 1 to 4
  bool includeLocals = false;
};

class AnalyseView {
 public:
  virtual ~AnalyseView() = default;
  // Shows the progress box modally; returns when it has closed (end-of-run
  // signal, its cancel button, Esc or its close box).
  virtual void RunProgressBox() = 0;
  // Waits until done() holds, serving the worker's message boxes meanwhile.
  virtual void WaitUntil(const std::function<bool()>& done) = 0;
  // The result commands after a cancelled run (disabled) or a completed one.
  virtual void DisableResultCommands() = 0;
  virtual void EnableResultCommands() = 0;
  // The two choice lists (added to, sorted, never emptied).
  virtual void AddFunctionNames(const std::vector<std::string>& names) = 0;
  virtual void AddVariableNames(const std::vector<std::string>& names) = 0;
};

// Incomplete: the pipeline ran to its end, but a file of the run lost writes
// (a full disk) or a copy into the result folder failed; nothing of the run
// is offered, and no result folder of it is left.
enum class AnalyseOutcome { CheckFailed, Cancelled, ClosedEarly, Incomplete, Completed };

struct AnalyseResult {
  AnalyseOutcome outcome = AnalyseOutcome::CheckFailed;
  std::string resultFolder;  // completed runs: where the results were copied
};

AnalyseResult OnAnalyse(const AnalyseRequest& request, AnalyseView& view);

// True while a worker started by OnAnalyse has not finished.
bool AnalysisWorkerRunning();
// Waits for the worker of the last run (if any) and reaps it.
void JoinAnalysisWorker();

}  // namespace vandrel
