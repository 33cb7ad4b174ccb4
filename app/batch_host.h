// The batch front end's host and dialog side: everything the user would see
// goes to standard error as UTF-8; boxes are answered OK.
#pragma once

#include <signal.h>

#include <condition_variable>
#include <mutex>
#include <string>

#include "commands/analyse_command.h"
#include "platform/host.h"

namespace vandrel {

class BatchHost : public Host, public AnalyseView {
 public:
  // open: whether documents may be opened (--open).
  BatchHost(bool open, bool terminal);
  ~BatchHost();

  void StatusText(const std::string& text) override;
  void StatusDetail(const std::string& text) override;
  int MessageBox(const std::string& text, const std::string& caption,
                 MessageButtons buttons) override;
  void PostEndOfRun() override;
  void ForgetEndOfRun() override;
  bool ConfirmOpen(const std::string& text, const std::string& caption) override;
  bool OpenDocument(const std::string& path) override;

  // Before an exit status of 1: a command that showed no box and whose last
  // status is not "実行中断" (a run that stopped on a failure the log names,
  // a query file that could not be written) gets that status line.
  void ExplainFailure();

  // The progress box: waits for the end-of-run signal; Ctrl-C (see
  // CtrlCAsCancel) is "中止".
  void RunProgressBox() override;
  void WaitUntil(const std::function<bool()>& done) override;
  void DisableResultCommands() override {}
  void EnableResultCommands() override {}
  void AddFunctionNames(const std::vector<std::string>&) override {}
  void AddVariableNames(const std::vector<std::string>&) override {}

 private:
  // A line of its own; the status details of a run are written in runs of
  // lines (at the latest when the progress box next looks), the rest at once.
  void PrintLine(const std::string& utf8, bool soon = false);
  void FlushLines();      // with mutex_ held
  void RenderProgress();  // the one-line progress box on a terminal

  const bool open_;
  const bool terminal_;
  std::mutex mutex_;
  std::condition_variable endPosted_;
  bool ended_ = false;
  bool boxShown_ = false;   // a progress line stands on the terminal
  int ticks_ = 0;
  std::string detail_;
  std::string lastStatus_;
  bool boxesShown_ = false;
  std::string held_;  // lines not yet written
};

// While it lives, Ctrl-C (SIGINT) is the cancel of a run at any moment of the
// command: it sets the abort flag at once (the copies after the run stop on
// it) and the progress box, once it runs, closes as by "中止".
class CtrlCAsCancel {
 public:
  CtrlCAsCancel();
  ~CtrlCAsCancel();
  CtrlCAsCancel(const CtrlCAsCancel&) = delete;
  CtrlCAsCancel& operator=(const CtrlCAsCancel&) = delete;
  static bool Pressed();

 private:
  struct sigaction old_ {};
};

}  // namespace vandrel
