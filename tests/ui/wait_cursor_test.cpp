// The wait cursor over the dialog while its input is blocked: the copies into
// the result folder, the wait for xdg-open (the dialog goes on painting) and
// any other wait of the dialog. A box shown meanwhile, and the dialog once it
// takes input again, have the normal cursor.
#include <QLabel>
#include <QLineEdit>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/cp932.h"
#include "ui/main_dialog.h"
#include "ui/qt_host.h"
#include "ui_test_support.h"

using namespace vandrel;
using namespace vandrel::ui;
using vandrel::test::BoxAnswerer;
using vandrel::test::FakeXdgOpen;
using vandrel::test::ShownCursor;
using vandrel::test::TempCurrentDir;

namespace {

const QString kSample = QStringLiteral(VANDREL_SOURCE_DIR "/examples/sample");
const QString kAskOpen = QStringLiteral("解析完了 結果を起動します");

// Holds the first copy into the result folder (on its copy thread) until
// Release(), or 20 s.
class HeldCopy : public test::ForwardingHost {
 public:
  using ForwardingHost::ForwardingHost;
  ~HeldCopy() override { Release(); }

  void StatusDetail(const std::string& text) override {
    ForwardingHost::StatusDetail(text);
    if (QThread::currentThread() == qApp->thread()) return;
    if (!QString::fromStdString(ToUtf8(text)).startsWith(QStringLiteral("コピー中 "))) return;
    std::unique_lock<std::mutex> lock(mutex_);
    if (heldOnce_) return;
    heldOnce_ = held_ = true;
    released_.wait_for(lock, std::chrono::seconds(20), [this] { return release_; });
    held_ = false;
  }
  bool Held() {
    std::lock_guard<std::mutex> lock(mutex_);
    return held_;
  }
  void Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    release_ = true;
    released_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable released_;
  bool heldOnce_ = false, held_ = false, release_ = false;
};

}  // namespace

class WaitCursorTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    cwd_ = std::make_unique<TempCurrentDir>();
    QFile::copy(kSample + QStringLiteral("/DefList.txt"), QStringLiteral("DefList.txt"));
    QDir().mkdir(QStringLiteral("out"));
    dialog_ = std::make_unique<MainDialog>();
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
    dialog_->Control<QLineEdit>(kSourceEdit)->setText(kSample);
  }
  void cleanup() {
    dialog_.reset();
    cwd_.reset();
  }

  // A run on the sample, OK at its question: the copies and the wait for
  // xdg-open show the wait cursor, and the dialog paints while xdg-open
  // runs; the question and the dialog after the run have the normal cursor.
  void copiesAndOpen() {
    dialog_->Control<QLineEdit>(kOutputEdit)->setText(QStringLiteral("out"));
    HeldCopy copy(dialog_->host());
    FakeXdgOpen xdgOpen;
    xdgOpen.Hold();
    test::EventCounter paints(dialog_.get(), QEvent::Paint);
    BoxAnswerer answerer;
    Qt::CursorShape duringCopy = Qt::BlankCursor, duringOpen = Qt::BlankCursor;
    int paintsAtOpen = -1;
    bool paintedDuringOpen = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
      if (copy.Held() && duringCopy == Qt::BlankCursor) {
        duringCopy = ShownCursor();
        copy.Release();
      }
      if (paintsAtOpen < 0 && !xdgOpen.Opened().isEmpty()) {
        duringOpen = ShownCursor();
        paintsAtOpen = paints.count;
        dialog_->update();
      } else if (paintsAtOpen >= 0 && !paintedDuringOpen && paints.count > paintsAtOpen) {
        paintedDuringOpen = true;
        xdgOpen.Release();
      }
    });
    poll.start(5);
    dialog_->Control<QAbstractButton>(kAnalyseButton)->click();
    poll.stop();

    QCOMPARE(answerer.Texts(), QStringList{kAskOpen});
    QVERIFY(answerer.boxes.first().normalCursor);
    QCOMPARE(duringCopy, Qt::WaitCursor);
    QCOMPARE(duringOpen, Qt::WaitCursor);
    QVERIFY(paintedDuringOpen);
    QVERIFY(!QApplication::overrideCursor());
  }

  // Copies that fail: their boxes come between the copies and the deletion
  // of the folder set aside, with the normal cursor.
  void boxesBetweenTheWaits() {
    QFile file(QStringLiteral("outfile"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    dialog_->Control<QLineEdit>(kOutputEdit)->setText(QStringLiteral("outfile"));
    BoxAnswerer answerer;
    dialog_->Control<QAbstractButton>(kAnalyseButton)->click();
    QVERIFY(answerer.boxes.size() > 2);
    for (const test::SeenBox& b : answerer.boxes) QVERIFY2(b.normalCursor, qPrintable(b.text));
    QVERIFY(!QApplication::overrideCursor());
  }

  // A box that the worker shows while the dialog waits has the normal
  // cursor; the wait cursor comes back after it and goes with the wait.
  void boxDuringAWait() {
    BoxAnswerer answerer;
    std::atomic<bool> answered{false};
    std::thread worker([&] {
      dialog_->host().MessageBox(ToCp932("テスト"), ToCp932("終了"), MessageButtons::Ok);
      answered = true;
    });
    Qt::CursorShape beforeBox = Qt::BlankCursor, afterBox = Qt::BlankCursor;
    dialog_->WaitUntil([&] {
      if (answered) {
        afterBox = ShownCursor();
        return true;
      }
      if (answerer.boxes.isEmpty() && QApplication::overrideCursor()) beforeBox = ShownCursor();
      return false;
    });
    worker.join();
    QCOMPARE(answerer.Texts(), QStringList{"テスト"});
    QVERIFY(answerer.boxes.first().normalCursor);
    QCOMPARE(beforeBox, Qt::WaitCursor);
    QCOMPARE(afterBox, Qt::WaitCursor);
    QVERIFY(!QApplication::overrideCursor());
  }

 private:
  std::unique_ptr<TempCurrentDir> cwd_;
  std::unique_ptr<MainDialog> dialog_;
};

QTEST_MAIN(WaitCursorTest)
#include "wait_cursor_test.moc"
