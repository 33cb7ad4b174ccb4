// Helpers of the desktop program's tests: a temporary current directory, a
// watcher that answers message boxes while a command runs, a stand-in for
// xdg-open, a counter of a widget's events, a host that holds the worker at its
// first status line, and the private session bus.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "platform/host.h"

namespace vandrel::test {

// Makes a fresh temporary folder the current directory (the work folder and
// the log are relative to it) for the object's lifetime.
class TempCurrentDir {
 public:
  TempCurrentDir() : old_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
  ~TempCurrentDir() { QDir::setCurrent(old_); }
  QString path() const { return dir_.path(); }
  QString File(const QString& name) const { return dir_.filePath(name); }

 private:
  QString old_;
  QTemporaryDir dir_;
};

struct SeenBox {
  QString caption, text;
  bool onUiThread;
  bool normalCursor;  // no cursor set over the program's, or the arrow
};

// The cursor the program shows over its windows: the one set over them all,
// or the arrow.
inline Qt::CursorShape ShownCursor() {
  return QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor;
}

// Polls the active modal window every 10 ms: message boxes are recorded and
// answered (OK, or Cancel where `cancel` says so); any other modal window
// goes to `onOtherModal`.
class BoxAnswerer : public QObject {
 public:
  BoxAnswerer() {
    connect(&timer_, &QTimer::timeout, this, &BoxAnswerer::Poll);
    timer_.start(10);
  }

  QStringList Texts() const {
    QStringList t;
    for (const SeenBox& b : boxes) t << b.text;
    return t;
  }

  QList<SeenBox> boxes;
  std::function<bool(const SeenBox&)> cancel = [](const SeenBox&) { return false; };
  std::function<void(QWidget*)> onOtherModal;

 private:
  void Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box) {
      if (modal && onOtherModal) onOtherModal(modal);
      return;
    }
    SeenBox seen{box->windowTitle(), box->text(), QThread::currentThread() == qApp->thread(),
                 ShownCursor() == Qt::ArrowCursor};
    boxes << seen;
    const QMessageBox::ButtonRole role =
        cancel(seen) ? QMessageBox::RejectRole : QMessageBox::AcceptRole;
    for (QAbstractButton* b : box->buttons()) {
      if (box->buttonRole(b) == role) return b->click();
    }
    box->buttons().first()->click();
  }

  QTimer timer_;
};

// A stand-in for xdg-open, first on PATH while the object lives: it notes
// each path it is given in opened.txt and exits with the status set. Held,
// it waits (after noting the path) until released.
class FakeXdgOpen {
 public:
  explicit FakeXdgOpen(int status = 0) : oldPath_(qgetenv("PATH")) {
    QFile script(bin_.filePath(QStringLiteral("xdg-open")));
    script.open(QIODevice::WriteOnly);
    script.write("#!/bin/sh\n"
                 "d=$(dirname \"$0\")\n"
                 "printf '%s\\n' \"$1\" >> \"$d/opened.txt\"\n"
                 "while [ -e \"$d/hold\" ]; do sleep 0.01; done\n"
                 "exit $(cat \"$d/status\")\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    SetStatus(status);
    qputenv("PATH", QFile::encodeName(bin_.path()) + ':' + oldPath_);
  }
  ~FakeXdgOpen() {
    Release();
    qputenv("PATH", oldPath_);
  }

  void SetStatus(int status) { Write(QStringLiteral("status"), QByteArray::number(status)); }
  void Hold() { Write(QStringLiteral("hold"), ""); }
  void Release() { QFile::remove(bin_.filePath(QStringLiteral("hold"))); }

  // The paths it was given, in order.
  QStringList Opened() const {
    QFile f(bin_.filePath(QStringLiteral("opened.txt")));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
  }

 private:
  void Write(const QString& name, const QByteArray& bytes) {
    QFile f(bin_.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
  }

  QByteArray oldPath_;
  QTemporaryDir bin_;
};

// Counts the events of one type that a widget gets (its paints, its shows).
class EventCounter : public QObject {
 public:
  EventCounter(QWidget* w, QEvent::Type type) : type_(type) { w->installEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == type_) ++count;
    return false;
  }

 private:
  QEvent::Type type_;
};

inline QStringList Items(const QComboBox* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
  return items;
}

// Passes everything to the dialog's host while it is installed; the hosts
// below change what they need.
class ForwardingHost : public Host {
 public:
  explicit ForwardingHost(Host& inner) : inner_(inner) { SetHost(this); }
  ~ForwardingHost() override { SetHost(&inner_); }

  void StatusText(const std::string& text) override { inner_.StatusText(text); }
  void StatusDetail(const std::string& text) override { inner_.StatusDetail(text); }
  int MessageBox(const std::string& text, const std::string& caption,
                 MessageButtons buttons) override {
    return inner_.MessageBox(text, caption, buttons);
  }
  void PostEndOfRun() override { inner_.PostEndOfRun(); }
  void ForgetEndOfRun() override { inner_.ForgetEndOfRun(); }
  bool ConfirmOpen(const std::string& text, const std::string& caption) override {
    return inner_.ConfirmOpen(text, caption);
  }
  bool OpenDocument(const std::string& path) override { return inner_.OpenDocument(path); }

 private:
  Host& inner_;
};

// Holds the worker thread at its first status line until Open(): a run that
// cannot end before the test acts.
class GatedHost : public ForwardingHost {
 public:
  using ForwardingHost::ForwardingHost;
  ~GatedHost() override { Open(); }

  void Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  bool WorkerHeld() {
    std::lock_guard<std::mutex> lock(mutex_);
    return held_;
  }

  void StatusText(const std::string& text) override {
    Hold();
    ForwardingHost::StatusText(text);
  }

 private:
  void Hold() {
    if (QThread::currentThread() == qApp->thread()) return;
    std::unique_lock<std::mutex> lock(mutex_);
    held_ = !open_;
    changed_.wait(lock, [this] { return open_; });
    held_ = false;
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = false;
  bool held_ = false;
};

// Runs `fn` from the event loop once `ready` holds (polled every 10 ms):
// the way a test acts while a command holds the UI thread in a modal box.
inline void WhenReady(QObject* context, std::function<bool()> ready, std::function<void()> fn) {
  auto* timer = new QTimer(context);
  QObject::connect(timer, &QTimer::timeout, context, [timer, ready, fn] {
    if (!ready()) return;
    timer->stop();
    timer->deleteLater();
    fn();
  });
  timer->start(10);
}

// A test that needs a session bus of its own runs again in a child process
// under dbus-run-session; in that child VANDREL_PRIVATE_BUS is set.
inline bool OnPrivateBus() { return qEnvironmentVariableIsSet("VANDREL_PRIVATE_BUS"); }

inline void RelaunchOnPrivateBus(const QString& runner) {
  QTemporaryDir data;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("VANDREL_PRIVATE_BUS"), QStringLiteral("1"));
  env.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), data.path());
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  QProcess child;
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(runner, {QStringLiteral("--"), QCoreApplication::applicationFilePath(),
                       QString::fromLatin1(QTest::currentTestFunction())});
  const bool finished = child.waitForFinished(120000);
  if (!finished) child.kill();
  const QByteArray output = child.readAll();
  QVERIFY2(finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
           output.constData());
}

}  // namespace vandrel::test

// Runs the rest of the test function on a private session bus; skipped with
// a message when dbus-run-session is missing.
#define VANDREL_RUN_ON_PRIVATE_BUS()                                                      \
  do {                                                                                    \
    if (!vandrel::test::OnPrivateBus()) {                                                 \
      const QString runner = QStandardPaths::findExecutable(QStringLiteral("dbus-run-session")); \
      if (runner.isEmpty()) QSKIP("dbus-run-session is missing: no private session bus"); \
      vandrel::test::RelaunchOnPrivateBus(runner);                                        \
      return;                                                                             \
    }                                                                                     \
  } while (0)
