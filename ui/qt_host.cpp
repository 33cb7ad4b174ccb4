#include "ui/qt_host.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include "platform/cp932.h"
#include "platform/desktop.h"
#include "ui/progress_dialog.h"
#include "ui/ui_texts.h"

namespace vandrel::ui {
namespace {

QString Text(const std::string& cp932) { return QString::fromStdString(ToUtf8(cp932)); }

bool OnThreadOf(const QObject* object) { return QThread::currentThread() == object->thread(); }

// Sets a label from any thread; from the worker the call is queued.
void SetLabel(const QPointer<QLabel>& label, const QString& text) {
  if (!label) return;
  auto set = [label, text] {
    if (!label) return;
    label->setText(text);
    label->setToolTip(text);
  };
  if (OnThreadOf(label))
    set();
  else
    QMetaObject::invokeMethod(label, set, Qt::QueuedConnection);
}

// A box shown while the dialog waits takes input: the normal cursor over it
// until it closes, the wait cursor again after.
class NormalCursor {
 public:
  NormalCursor() : waiting_(QApplication::overrideCursor()) {
    if (waiting_) QApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~NormalCursor() {
    if (waiting_) QApplication::restoreOverrideCursor();
  }

 private:
  const bool waiting_;
};

}  // namespace

QtHost::QtHost(QWidget* owner, QLabel* statusText, QLabel* statusDetail, ProgressDialog* progress,
               WaitFunction wait)
    : owner_(owner),
      statusText_(statusText),
      statusDetail_(statusDetail),
      progress_(progress),
      wait_(std::move(wait)) {}

void QtHost::StatusText(const std::string& text) { SetLabel(statusText_, Text(text)); }

void QtHost::StatusDetail(const std::string& text) { SetLabel(statusDetail_, Text(text)); }

int QtHost::ShowBox(const QString& text, const QString& caption, MessageButtons buttons) {
  const bool withCancel = buttons == MessageButtons::OkCancel;
  if (shuttingDown_) return withCancel ? kIdCancel : kIdOk;  // asked while the box waited
  QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::NoButton, owner_);
  box.setTextFormat(Qt::PlainText);
  QPushButton* ok = box.addButton(kOkButton, QMessageBox::AcceptRole);
  QPushButton* cancel = withCancel ? box.addButton(kCancelButton, QMessageBox::RejectRole) : nullptr;
  box.setDefaultButton(ok);
  box.setEscapeButton(cancel ? cancel : ok);
  NormalCursor cursor;
  box.exec();
  return cancel && box.clickedButton() == cancel ? kIdCancel : kIdOk;
}

int QtHost::MessageBox(const std::string& text, const std::string& caption,
                       MessageButtons buttons) {
  const QString t = Text(text), c = Text(caption);
  if (shuttingDown_ || !owner_) return buttons == MessageButtons::OkCancel ? kIdCancel : kIdOk;
  if (OnThreadOf(owner_)) return ShowBox(t, c, buttons);
  int result = kIdOk;
  QMetaObject::invokeMethod(owner_, [&] { result = ShowBox(t, c, buttons); },
                            Qt::BlockingQueuedConnection);
  return result;
}

void QtHost::PostEndOfRun() { progress_->PostEndOfRun(); }

void QtHost::ForgetEndOfRun() { progress_->ForgetEndOfRun(); }

bool QtHost::ConfirmOpen(const std::string& text, const std::string& caption) {
  return MessageBox(text, caption, MessageButtons::OkCancel) == kIdOk;
}

bool QtHost::OpenDocument(const std::string& path) {
  if (!owner_ || !OnThreadOf(owner_) || !wait_) return OpenWithDesktop(path);
  // xdg-open's status comes after a while: the window goes on painting.
  bool opened = false;
  RunWhileWaiting([&] { opened = OpenWithDesktop(path); }, wait_);
  return opened;
}

}  // namespace vandrel::ui
