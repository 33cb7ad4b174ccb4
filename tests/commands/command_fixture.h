// Runs the analyse command against a view that stands in for the dialog.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "commands/analyse_command.h"
#include "run/run_state.h"
#include "test_support.h"

namespace vandrel::test {

// The progress box waits for the end-of-run signal unless `onShow` decides
// otherwise (it may press "中止" or close the box early).
class TestView : public AnalyseView {
 public:
  explicit TestView(RecordingHost& host) : host_(host) {}

  void RunProgressBox() override {
    ++boxesShown;
    if (onShow && onShow()) return;
    // A cancel closes the box as its "中止" button does.
    while (host_.endOfRunPosts.load() == 0 && g_abortRequested.load() == 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  void WaitUntil(const std::function<bool()>& done) override {
    waiting = true;
    if (onWaitBegin) onWaitBegin();
    while (!done()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (onWaitEnd) onWaitEnd();
    waiting = false;
  }
  void DisableResultCommands() override { ++disabled; }
  void EnableResultCommands() override { ++enabled; }
  void AddFunctionNames(const std::vector<std::string>& n) override { functions = n; }
  void AddVariableNames(const std::vector<std::string>& n) override { variables = n; }

  // Returns true when it closed the box itself.
  std::function<bool()> onShow;
  std::function<void()> onWaitBegin, onWaitEnd;  // around each wait
  int boxesShown = 0, disabled = 0, enabled = 0;
  std::atomic<bool> waiting{false};  // inside WaitUntil
  std::vector<std::string> functions, variables;

 private:
  RecordingHost& host_;
};

}  // namespace vandrel::test
