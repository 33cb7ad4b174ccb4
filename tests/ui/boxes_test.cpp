// The progress box "解析中" and the busy box "実行中": clocks, bar, status
// text, their buttons and close requests, the end-of-run signal; and the
// host's hand-over of status lines and message boxes from a worker thread.
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <memory>
#include <thread>

#include "platform/cp932.h"
#include "run/run_state.h"
#include "ui/busy_dialog.h"
#include "ui/main_dialog.h"
#include "ui/progress_dialog.h"
#include "ui/qt_host.h"
#include "ui_test_support.h"

using namespace vandrel;
using namespace vandrel::ui;
using vandrel::test::BoxAnswerer;
using vandrel::test::TempCurrentDir;
using vandrel::test::WhenReady;

namespace {

QLabel* Label(QWidget* box, const char* name) { return box->findChild<QLabel*>(QLatin1String(name)); }

void ResetProgress() {
  g_abortRequested = 0;
  g_progressBase = 0;
  g_progressDone = 0;
  g_progressTotal = 0;
}

}  // namespace

class BoxesTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    cwd_ = std::make_unique<TempCurrentDir>();
    ResetProgress();
  }
  void cleanup() { cwd_.reset(); }

  // The n-th tick shows n - 1 half-seconds; minutes are not wrapped. The
  // counter is set between ticks to reach the far values.
  void progressClock_data() {
    QTest::addColumn<int>("counter");
    QTest::addColumn<QString>("clock");
    QTest::newRow("first tick") << 0 << "経過時間 00：00";
    QTest::newRow("second tick") << 1 << "経過時間 00：00";
    QTest::newRow("third tick") << 2 << "経過時間 00：01";
    QTest::newRow("120th tick") << 119 << "経過時間 00：59";
    QTest::newRow("121st tick") << 120 << "経過時間 01：00";
    QTest::newRow("after an hour") << 7200 << "経過時間 60：00";
    QTest::newRow("100 minutes") << 12000 << "経過時間 100：00";
  }
  void progressClock() {
    QFETCH(int, counter);
    QFETCH(QString, clock);
    ProgressDialog box;
    QStringList opened;
    QString shown;
    WhenReady(&box, [&] { return box.isVisible(); }, [&] {
      opened << Label(&box, "status")->text() << Label(&box, "clock")->text()
             << QString::number(box.findChild<QProgressBar*>()->value());
      g_progressTicks = counter;
      QLabel* clockLabel = Label(&box, "clock");
      WhenReady(&box, [clockLabel] { return clockLabel->text() != QStringLiteral("時間"); }, [&] {
        shown = Label(&box, "clock")->text();
        box.reject();
      });
    });
    g_progressTicks = 999;  // reset when the box opens
    box.Run();
    QCOMPARE(opened, QStringList({"解析開始", "時間", "0"}));
    QCOMPARE(shown, clock);
    QCOMPARE(box.windowTitle(), QStringLiteral("解析中"));
  }

  // Position: base + (done / total) * 10 in integers; a total of 0 shows the base.
  void progressBarAndStatus_data() {
    QTest::addColumn<int>("base");
    QTest::addColumn<int>("done");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("position");
    QTest::newRow("no files counted yet") << 100 << 3 << 0 << 100;
    QTest::newRow("step under way") << 200 << 3 << 4 << 200;
    QTest::newRow("step's items done") << 200 << 4 << 4 << 210;
    QTest::newRow("run complete") << 1000 << 0 << 7 << 1000;
  }
  void progressBarAndStatus() {
    QFETCH(int, base);
    QFETCH(int, done);
    QFETCH(int, total);
    QFETCH(int, position);
    g_progressBase = base;
    g_progressDone = done;
    g_progressTotal = total;
    SetStatusText(ToCp932("プリプロ解析ソフト作成中"));
    ProgressDialog box;
    auto* bar = box.findChild<QProgressBar*>();
    WhenReady(&box, [] { return g_progressTicks.load() > 0; }, [&box] { box.reject(); });
    box.Run();
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 1000);
    QCOMPARE(bar->value(), position);
    QCOMPARE(g_progressPos.load(), position);
    QCOMPARE(Label(&box, "status")->text(), QStringLiteral("プリプロ解析ソフト作成中"));
  }

  // "中止" and Enter set the abort flag; Esc, the close box and the
  // end-of-run signal close the box without it.
  void progressCloseRequests_data() {
    QTest::addColumn<QString>("request");
    QTest::addColumn<int>("abort");
    QTest::newRow("中止") << "button" << 1;
    QTest::newRow("Enter") << "enter" << 1;
    QTest::newRow("Esc") << "esc" << 0;
    QTest::newRow("close box") << "close" << 0;
    QTest::newRow("end of run from a thread") << "end" << 0;
  }
  void progressCloseRequests() {
    QFETCH(QString, request);
    QFETCH(int, abort);
    ProgressDialog box;
    std::thread poster;
    WhenReady(&box, [&] { return box.isVisible(); }, [&] {
      auto* button = box.findChild<QPushButton*>(QStringLiteral("cancelButton"));
      QCOMPARE(button->text(), QStringLiteral("中止"));
      if (request == "button") button->click();
      if (request == "enter") QTest::keyClick(&box, Qt::Key_Return);
      if (request == "esc") QTest::keyClick(&box, Qt::Key_Escape);
      if (request == "close") box.close();
      if (request == "end") poster = std::thread([&box] { box.PostEndOfRun(); });
    });
    box.Run();
    if (poster.joinable()) poster.join();
    QVERIFY(!box.isVisible());
    QCOMPARE(g_abortRequested.load(), abort);
  }

  // A signal that comes before the box is shown closes it at once; one
  // forgotten before the next run does not.
  void endOfRunBeforeTheBox() {
    ProgressDialog box;
    std::thread([&box] { box.PostEndOfRun(); }).join();
    QElapsedTimer timer;
    timer.start();
    box.Run();
    QVERIFY(timer.elapsed() < 400);  // before the first tick

    box.PostEndOfRun();
    box.ForgetEndOfRun();
    bool stillOpen = false;
    QTimer::singleShot(300, &box, [&] {
      stillOpen = box.isVisible();
      box.PostEndOfRun();
    });
    box.Run();
    QVERIFY(stillOpen);
    QCOMPARE(g_abortRequested.load(), 0);
  }

  // The busy box: "EXCEL 仕様書作成中", its clock from zero, "実行中断"
  // sets the abort flag; Esc closes it without.
  void busyBox_data() {
    QTest::addColumn<bool>("button");
    QTest::newRow("実行中断") << true;
    QTest::newRow("Esc") << false;
  }
  void busyBox() {
    QFETCH(bool, button);
    BusyDialog box;
    QStringList seen;
    g_busyTicks = 500;
    WhenReady(&box, [&] { return box.isVisible(); }, [&] {
      seen << box.windowTitle() << Label(&box, "clock")->text();
      for (QLabel* l : box.findChildren<QLabel*>())
        if (l->text() == QStringLiteral("EXCEL 仕様書作成中")) seen << l->text();
      g_busyTicks = 121;
      QLabel* clock = Label(&box, "clock");
      WhenReady(&box, [clock] { return clock->text() != QStringLiteral("時刻"); }, [&, clock] {
        seen << clock->text();
        auto* cancel = box.findChild<QPushButton*>(QStringLiteral("cancelButton"));
        seen << cancel->text();
        if (button)
          cancel->click();
        else
          QTest::keyClick(&box, Qt::Key_Escape);
      });
    });
    box.exec();
    QCOMPARE(seen, QStringList({"実行中", "時刻", "EXCEL 仕様書作成中", "経過時間 01：00", "実行中断"}));
    QCOMPARE(g_abortRequested.load(), button ? 1 : 0);
  }

  // Pictures of both boxes beside the main dialog's (build folder).
  void screenshots() {
    SetStatusText(ToCp932("ファイル間の整合解析中"));
    g_progressBase = 500;
    ProgressDialog progress;
    BusyDialog busy;
    for (QDialog* box : {static_cast<QDialog*>(&progress), static_cast<QDialog*>(&busy)}) {
      box->show();
      QVERIFY(QTest::qWaitForWindowExposed(box));
    }
    QTest::qWait(600);  // one tick of each clock
    QVERIFY(progress.grab().save(QStringLiteral(VANDREL_BUILD_DIR "/progress_box.png")));
    QVERIFY(busy.grab().save(QStringLiteral(VANDREL_BUILD_DIR "/busy_box.png")));
    progress.reject();
    busy.reject();
  }

  // The design command's busy box: Open shows it and returns, Close closes
  // it once it is up, without the abort flag.
  void designBusyBoxOpensAndCloses() {
    DialogBusyBox busy;
    busy.Open();
    QVERIFY(busy.dialog().isVisible());
    busy.Close();
    QVERIFY(busy.dialog().isVisible());
    QTRY_VERIFY(!busy.dialog().isVisible());
    QCOMPARE(g_abortRequested.load(), 0);
  }

  // From the worker: status lines reach the labels on the UI thread; a
  // message box is shown on the UI thread while the worker waits.
  void workerStatusAndBoxes() {
    MainDialog dialog;
    BoxAnswerer answerer;
    answerer.cancel = [](const test::SeenBox& b) { return b.text == QStringLiteral("続けますか"); };
    int first = 0, second = 0, confirm = -1;
    std::thread worker([&] {
      SetStatusText(ToCp932("ファイル内部解析中"));
      SetStatusDetail(ToCp932("main.c"));
      first = CurrentHost().MessageBox(ToCp932("UNITY VAL 配列OVER"), ToCp932("終了"), MessageButtons::Ok);
      second = CurrentHost().MessageBox(ToCp932("続けますか"), ToCp932("終了"), MessageButtons::OkCancel);
      confirm = CurrentHost().ConfirmOpen(ToCp932("解析完了 結果を起動します"), ToCp932("終了"));
    });
    QTRY_COMPARE(answerer.boxes.size(), 3);
    worker.join();
    QCOMPARE(first, int(kIdOk));
    QCOMPARE(second, int(kIdCancel));
    QCOMPARE(confirm, 1);
    for (const test::SeenBox& b : answerer.boxes) {
      QVERIFY(b.onUiThread);
      QCOMPARE(b.caption, QStringLiteral("終了"));
    }
    QTRY_COMPARE(dialog.Control<QLabel>(kStatusLine)->text(), QStringLiteral("ファイル内部解析中"));
    QTRY_COMPARE(dialog.Control<QLabel>(kStatusDetailLine)->text(), QStringLiteral("main.c"));
    QCOMPARE(ToUtf8(GetStatusText()), std::string("ファイル内部解析中"));

    // Once the program is ending, boxes are answered without being shown.
    dialog.host().BeginShutdown();
    int late = -1;
    std::thread([&] {
      late = CurrentHost().MessageBox(ToCp932("TMPファイル削除失敗"), ToCp932("終了"), MessageButtons::Ok);
    }).join();
    QCOMPARE(late, int(kIdOk));
    QCOMPARE(answerer.boxes.size(), 3);
  }

 private:
  std::unique_ptr<TempCurrentDir> cwd_;
};

QTEST_MAIN(BoxesTest)
#include "boxes_test.moc"
