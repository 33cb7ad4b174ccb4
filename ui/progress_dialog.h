// The progress box "解析中": shown modally while the analysis worker runs;
// twice a second it shows the bar position, the status text and the clock.
#pragma once

#include <atomic>

#include "ui/timed_box.h"

class QProgressBar;

namespace vandrel::ui {

class ProgressDialog : public TimedBox {
  Q_OBJECT
 public:
  explicit ProgressDialog(QWidget* parent = nullptr);

  // Shows the box modally until it closes.
  void Run();
  // The worker's end-of-run signal, from any thread: closes the open box, or
  // the one that Run shows next when the signal comes first.
  void PostEndOfRun();
  // Drops a signal that no box has taken.
  void ForgetEndOfRun() { endPending_ = false; }

 protected:
  void Init() override;
  void Tick() override;

 private:
  void DeliverEndOfRun();

  QLabel* status_;
  QProgressBar* bar_;
  std::atomic<bool> endPending_{false};
  bool running_ = false;
};

}  // namespace vandrel::ui
