// The host interface on Qt. Status lines set from the worker reach the labels
// through queued calls; the worker's message boxes are shown on the
// user-interface thread while the worker waits for the answer.
#pragma once

#include <QPointer>
#include <atomic>

#include "platform/host.h"
#include "platform/parallel_work.h"

class QLabel;
class QWidget;

namespace vandrel::ui {

class ProgressDialog;

class QtHost : public Host {
 public:
  // owner: the window that owns the message boxes (and lives on the UI thread);
  // wait: how it waits with its input blocked, while a document is opened.
  QtHost(QWidget* owner, QLabel* statusText, QLabel* statusDetail, ProgressDialog* progress,
         WaitFunction wait);

  void StatusText(const std::string& text) override;
  void StatusDetail(const std::string& text) override;
  int MessageBox(const std::string& text, const std::string& caption,
                 MessageButtons buttons) override;
  void PostEndOfRun() override;
  void ForgetEndOfRun() override;
  bool ConfirmOpen(const std::string& text, const std::string& caption) override;
  bool OpenDocument(const std::string& path) override;

  // From now on boxes are answered without being shown (OK, or Cancel where
  // offered): the program is ending and waits for the worker.
  void BeginShutdown() { shuttingDown_ = true; }

 private:
  int ShowBox(const QString& text, const QString& caption, MessageButtons buttons);

  QPointer<QWidget> owner_;
  QPointer<QLabel> statusText_, statusDetail_;
  ProgressDialog* progress_;
  WaitFunction wait_;
  std::atomic<bool> shuttingDown_{false};
};

}  // namespace vandrel::ui
