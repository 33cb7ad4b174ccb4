#include "ui/qt_host.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QUrl>

#include "platform/cp932.h"
#include "platform/desktop.h"
#include "platform/os_path.h"
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

}  // namespace

QtHost::QtHost(QWidget* owner, QLabel* statusText, QLabel* statusDetail, ProgressDialog* progress)
    : owner_(owner), statusText_(statusText), statusDetail_(statusDetail), progress_(progress) {}

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
  // openUrl tells only that an opener started, not that the file was there.
  if (!DocumentExists(path)) return false;
  // A relative path names a file below the current directory, as the shell takes it.
  const QString file = QFileInfo(QString::fromStdString(OsPath(path))).absoluteFilePath();
  return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

}  // namespace vandrel::ui
