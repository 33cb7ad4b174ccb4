// The analyse command in the dialog: its checks, a run on the shipped sample
// driven by the button, cancel through "中止", and the progress box closed
// early with Esc or its close box.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <memory>

#include "commands/analyse_command.h"
#include "platform/cp932.h"
#include "platform/host.h"
#include "platform/text_file.h"
#include "reader/splitters.h"
#include "run/run_state.h"
#include "ui/main_dialog.h"
#include "ui/progress_dialog.h"
#include "ui/qt_host.h"
#include "ui_test_support.h"

using namespace vandrel;
using namespace vandrel::ui;
using vandrel::test::BoxAnswerer;
using vandrel::test::GatedHost;
using vandrel::test::Items;
using vandrel::test::TempCurrentDir;
using vandrel::test::FakeXdgOpen;
using vandrel::test::WhenReady;

namespace {

const QString kSample = QStringLiteral(VANDREL_SOURCE_DIR "/examples/sample");

// The names the command must add, read from the work files as it reads them.
QStringList ExpectedFunctions() {
  QStringList names;
  TextFile f;
  if (!f.Open("./vcwk012345/FuncList_Body.txt", TextFile::Mode::Read)) return names;
  std::string line, ret, name, params;
  while (f.ReadLine(line)) {
    SplitPrototype(line, ret, name, params);
    names << QString::fromStdString(ToUtf8(name));
  }
  return names;
}

QStringList ExpectedVariables() {
  QStringList names;
  TextFile f;
  if (!f.Open("./vcwk012345/ValList2.txt", TextFile::Mode::Read)) return names;
  std::string line;
  while (f.ReadLine(line) && line != "@1END")
    if (line.find('*') == std::string::npos) names << QString::fromStdString(ToUtf8(line));
  return names;
}

QStringList SortedNoCase(QStringList names) {
  std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
    return MbCompareNoCase(ToCp932(a.toStdString()), ToCp932(b.toStdString())) < 0;
  });
  return names;
}

QStringList ResultFolders() { return QDir(QStringLiteral("out")).entryList(QDir::Dirs | QDir::NoDotAndDotDot); }

QString ReadLog() {
  QFile log(QStringLiteral("AnalyzeLog.txt"));
  log.open(QIODevice::ReadOnly);
  return QString::fromStdString(ToUtf8(log.readAll().toStdString()));
}

const std::initializer_list<int> kResultControls = {
    kFunctionTreeButton, kVariableButton, kShowExcelCheck, kTypedFunctionRadio, kListedFunctionRadio,
    kTypedVariableRadio, kListedVariableRadio, kFunctionEdit, kVariableEdit, kFunctionList, kVariableList};

// Holds the first copy into the result folder (on its copy thread) until the
// status detail has been painted naming a copy, or 20 s have passed: a
// dialog that is blocked during the copies never paints it.
class CopyPaintWatch : public QObject, public test::ForwardingHost {
 public:
  CopyPaintWatch(Host& inner, QLabel* detail) : ForwardingHost(inner), detail_(detail) {
    detail_->installEventFilter(this);
  }
  ~CopyPaintWatch() override { detail_->removeEventFilter(this); }

  void StatusDetail(const std::string& text) override {
    ForwardingHost::StatusDetail(text);
    const QString shown = QString::fromStdString(ToUtf8(text));
    if (!shown.startsWith(QStringLiteral("コピー中 "))) return;
    std::unique_lock<std::mutex> lock(mutex_);
    copies << shown;
    if (copies.size() > 1 || QThread::currentThread() == qApp->thread()) return;
    paintedWhileCopying = painted_.wait_for(lock, std::chrono::seconds(20), [&] {
      return lastPainted_.startsWith(QStringLiteral("コピー中 "));
    });
  }

  QStringList copies;         // the copy details, in the order they were set
  bool paintedWhileCopying = false;  // while the first copy waited

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      std::lock_guard<std::mutex> lock(mutex_);
      lastPainted_ = detail_->text();
      painted_.notify_all();
    }
    return false;
  }

 private:
  QLabel* detail_;
  std::mutex mutex_;
  std::condition_variable painted_;
  QString lastPainted_;
};

}  // namespace

class AnalyseTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    cwd_ = std::make_unique<TempCurrentDir>();
    QFile::copy(kSample + QStringLiteral("/DefList.txt"), QStringLiteral("DefList.txt"));
    QDir().mkdir(QStringLiteral("out"));
    dialog_ = std::make_unique<MainDialog>();
    dialog_->show();
  }
  void cleanup() {
    dialog_.reset();
    QVERIFY(!AnalysisWorkerRunning());
    cwd_.reset();
  }

  // Each failed check shows its box and ends the command before the worker.
  void checks_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("box");
    const QString hint = QStringLiteral("<解析ソフトフォルダを選択 （ドラッグ&ドロップ）>");
    QTest::newRow("empty source") << "" << "out" << "プロジェクトフォルダが見つかりません";
    QTest::newRow("hint text") << hint << "out" << "プロジェクトフォルダが見つかりません";
    QTest::newRow("missing source") << "nope" << "out" << "プロジェクトフォルダが見つかりません";
    QTest::newRow("source is a file") << "DefList.txt" << "out" << "ディレクトリを指定してください";
    QTest::newRow("missing output") << kSample << "nope" << "出力フォルダを指定してください";
    QTest::newRow("output hint text") << kSample << "<結果出力先を選択（ドラッグ&ドロップ）>"
                                      << "出力フォルダを指定してください";
  }
  void checks() {
    QFETCH(QString, source);
    QFETCH(QString, output);
    QFETCH(QString, box);
    dialog_->Control<QLineEdit>(kSourceEdit)->setText(source);
    dialog_->Control<QLineEdit>(kOutputEdit)->setText(output);
    QSignalSpy progress(&dialog_->progressDialog(), &QDialog::finished);
    BoxAnswerer answerer;
    dialog_->Control<QAbstractButton>(kAnalyseButton)->click();
    QCOMPARE(answerer.Texts(), QStringList{box});
    QCOMPARE(answerer.boxes.first().caption, QStringLiteral("終了"));
    QCOMPARE(progress.count(), 0);
    QVERIFY(!AnalysisWorkerRunning());
    QCOMPARE(dialog_->Control<QLabel>(kStatusLine)->text(), QStringLiteral("実行準備中"));
    QCOMPARE(dialog_->Control<QLabel>(kStatusDetailLine)->text(), QStringLiteral("テンポラリファイル削除"));
    QVERIFY(QDir(QStringLiteral("vcwk012345/DEF/TMP")).exists());
    QVERIFY(ReadLog().startsWith(QStringLiteral("ANALYSYS START     : ")));
    for (int id : kResultControls) QVERIFY(!dialog_->Control(id)->isEnabled());
  }

  // A run on the sample through the button: the result folder, the question,
  // the report opened, the query controls enabled and both lists filled. A
  // second run adds its names to the lists again; declining the question
  // opens nothing.
  void sampleRun() {
    dialog_->Control<QLineEdit>(kSourceEdit)->setText(kSample);
    dialog_->Control<QLineEdit>(kOutputEdit)->setText(QDir::current().filePath(QStringLiteral("out")));
    FakeXdgOpen xdgOpen;
    BoxAnswerer answerer;
    QSignalSpy progress(&dialog_->progressDialog(), &QDialog::finished);
    dialog_->Control<QAbstractButton>(kAnalyseButton)->click();

    QCOMPARE(progress.count(), 1);
    QCOMPARE(progress.first().first().toInt(), int(QDialog::Rejected));  // the end-of-run signal
    QCOMPARE(g_abortRequested.load(), 0);
    QCOMPARE(g_analysisCompleted.load(), 1);
    QVERIFY(!answerer.boxes.isEmpty());
    QCOMPARE(answerer.boxes.last().text, QStringLiteral("解析完了 結果を起動します"));
    for (const test::SeenBox& b : answerer.boxes) QCOMPARE(b.caption, QStringLiteral("終了"));

    const QStringList folders = ResultFolders();
    QCOMPARE(folders.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d{4}年\\d\\d月\\d\\d日\\d\\d時\\d\\d分\\d\\d秒$"))
                 .match(folders.first())
                 .hasMatch(),
             qPrintable(folders.first()));
    const QString result = QDir(QStringLiteral("out")).absoluteFilePath(folders.first());
    QCOMPARE(xdgOpen.Opened(), QStringList{result + QStringLiteral("/index.html")});
    QVERIFY(QFile::exists(result + QStringLiteral("/AnalyzeLog.txt")));
    QVERIFY(ReadLog().contains(QStringLiteral("ANALYSYS END         : ")));

    QCOMPARE(dialog_->Control<QLabel>(kStatusLine)->text(), QStringLiteral("解析終了"));
    QCOMPARE(dialog_->Control<QLabel>(kStatusDetailLine)->text(), QStringLiteral("----------------------"));
    for (int id : kResultControls) QVERIFY2(dialog_->Control(id)->isEnabled(), qPrintable(MainDialog::ControlName(id)));
    QVERIFY(!dialog_->Control(kDesignDocButton)->isEnabled());
    QVERIFY(!dialog_->Control(kXlsCheck)->isEnabled());
    QVERIFY(dialog_->Control(kXlsxCheck)->isEnabled());
    QVERIFY(dialog_->Control<QCheckBox>(kXlsxCheck)->isChecked());
    QVERIFY(dialog_->Control(kXlsxCheck)->isHidden());

    auto* functions = dialog_->Control<QComboBox>(kFunctionList);
    auto* variables = dialog_->Control<QComboBox>(kVariableList);
    const QStringList expectedFunctions = SortedNoCase(ExpectedFunctions());
    const QStringList expectedVariables = SortedNoCase(ExpectedVariables());
    QCOMPARE(Items(functions), expectedFunctions);
    QCOMPARE(Items(variables), expectedVariables);
    QCOMPARE(functions->currentText(), QStringLiteral("SELECT FUNCTION"));
    QCOMPARE(variables->currentText(), QStringLiteral("SELECT RAM VALUE"));

    answerer.cancel = [](const test::SeenBox& b) { return b.text == QStringLiteral("解析完了 結果を起動します"); };
    dialog_->Control<QAbstractButton>(kAnalyseButton)->click();
    QCOMPARE(xdgOpen.Opened().size(), 1);
    QCOMPARE(Items(functions), SortedNoCase(expectedFunctions + expectedFunctions));
    QCOMPARE(Items(variables), SortedNoCase(expectedVariables + expectedVariables));
  }

  // OK at the closing question hands the report to xdg-open and waits for its
  // exit status: a failure (1, or 3 as where no opener is set up) shows
  // "コールツリーindex起動失敗".
  void openStatusOfTheReport_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("boxes");
    const QString ask = QStringLiteral("解析完了 結果を起動します");
    const QString failed = QStringLiteral("コールツリーindex起動失敗");
    QTest::newRow("xdg-open exits 0") << 0 << QStringList{ask};
    QTest::newRow("xdg-open exits 1") << 1 << QStringList{ask, failed};
    QTest::newRow("xdg-open exits 3") << 3 << QStringList{ask, failed};
  }
  void openStatusOfTheReport() {
    QFETCH(int, status);
    QFETCH(QStringList, boxes);
    dialog_->Control<QLineEdit>(kSourceEdit)->setText(kSample);
    dialog_->Control<QLineEdit>(kOutputEdit)->setText(QStringLiteral("out"));
    FakeXdgOpen xdgOpen(status);
    BoxAnswerer answerer;
    dialog_->Control<QAbstractButton>(kAnalyseButton)->click();
    QCOMPARE(answerer.Texts(), boxes);
    QCOMPARE(ResultFolders().size(), 1);
    QCOMPARE(xdgOpen.Opened(),
             QStringList{QDir::current().absoluteFilePath(QStringLiteral("out/") + ResultFolders().first() +
                                                          QStringLiteral("/index.html"))});
  }

  // The copies into the result folder run while the dialog goes on painting;
  // its status detail names the copy ("コピー中 HTML"). The boxes and the
  // result stay as they were.
  void dialogPaintsDuringTheCopies() {
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
    dialog_->Control<QLineEdit>(kSourceEdit)->setText(kSample);
    dialog_->Control<QLineEdit>(kOutputEdit)->setText(QStringLiteral("out"));
    CopyPaintWatch watch(dialog_->host(), dialog_->Control<QLabel>(kStatusDetailLine));
    BoxAnswerer answerer;
    answerer.cancel = [](const test::SeenBox& b) { return b.text == QStringLiteral("解析完了 結果を起動します"); };
    dialog_->Control<QAbstractButton>(kAnalyseButton)->click();
    QCOMPARE(answerer.Texts(), QStringList{"解析完了 結果を起動します"});
    QCOMPARE(watch.copies.size(), 18);
    QVERIFY(watch.copies.contains(QStringLiteral("コピー中 HTML")));
    QVERIFY(watch.copies.contains(QStringLiteral("コピー中 [解析テンポラリ]")));
    QVERIFY(watch.paintedWhileCopying);
    QCOMPARE(ResultFolders().size(), 1);
  }

  // A run whose results are not whole offers nothing. An output folder that
  // is a file passes the check and every copy fails with its box; then no
  // question is asked, nothing is opened, no names are added, and the
  // commands on the results, which an earlier run had enabled, are disabled.
  void anIncompleteRunOffersNothing() {
    QFile file(QStringLiteral("outfile"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    dialog_->Control<QLineEdit>(kSourceEdit)->setText(kSample);
    dialog_->Control<QLineEdit>(kOutputEdit)->setText(QStringLiteral("out"));
    FakeXdgOpen xdgOpen;
    BoxAnswerer answerer;
    answerer.cancel = [](const test::SeenBox& b) { return b.text == QStringLiteral("解析完了 結果を起動します"); };
    dialog_->Control<QAbstractButton>(kAnalyseButton)->click();
    QCOMPARE(answerer.Texts(), QStringList{"解析完了 結果を起動します"});
    for (int id : kResultControls) QVERIFY(dialog_->Control(id)->isEnabled());
    const QStringList functions = Items(dialog_->Control<QComboBox>(kFunctionList));

    answerer.boxes.clear();
    dialog_->Control<QLineEdit>(kOutputEdit)->setText(QStringLiteral("outfile"));
    dialog_->Control<QAbstractButton>(kAnalyseButton)->click();
    const QStringList boxes = answerer.Texts();
    QVERIFY2(boxes.size() > 2 && boxes.first() == QStringLiteral("コピー失敗") &&
                 boxes.last() == QStringLiteral("[解析テンポラリ]コピー失敗"),
             qPrintable(boxes.join(u'|')));
    QVERIFY(xdgOpen.Opened().isEmpty());
    for (int id : kResultControls) QVERIFY2(!dialog_->Control(id)->isEnabled(), qPrintable(MainDialog::ControlName(id)));
    QCOMPARE(Items(dialog_->Control<QComboBox>(kFunctionList)), functions);
    QCOMPARE(dialog_->Control<QLabel>(kStatusLine)->text(), QStringLiteral("解析終了"));
    QVERIFY(!QFile::exists(QStringLiteral("vcwk012345/AnalysisCompleted.txt")));
    QCOMPARE(ResultFolders().size(), 1);  // the first run's
  }

  // "中止" (or Enter) during the run: nothing is copied, the result
  // commands are disabled even after an earlier run had enabled them, and
  // the worker stops and removes the work folder.
  void cancelWithAbortButton_data() {
    QTest::addColumn<bool>("enter");
    QTest::newRow("中止") << false;
    QTest::newRow("Enter") << true;
  }
  void cancelWithAbortButton() {
    QFETCH(bool, enter);
    dialog_->EnableResultCommands();
    dialog_->AddFunctionNames({"earlier"});
    dialog_->Control<QLineEdit>(kSourceEdit)->setText(kSample);
    dialog_->Control<QLineEdit>(kOutputEdit)->setText(QStringLiteral("out"));
    GatedHost gate(dialog_->host());
    BoxAnswerer answerer;
    ProgressDialog* box = &dialog_->progressDialog();
    WhenReady(box, [&] { return box->isVisible() && gate.WorkerHeld(); }, [&] {
      if (enter)
        QTest::keyClick(box, Qt::Key_Return);
      else
        box->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
      gate.Open();
    });
    dialog_->Control<QAbstractButton>(kAnalyseButton)->click();

    QCOMPARE(g_abortRequested.load(), 1);
    for (int id : kResultControls) QVERIFY(!dialog_->Control(id)->isEnabled());
    QCOMPARE(Items(dialog_->Control<QComboBox>(kFunctionList)), QStringList{"earlier"});
    QTRY_VERIFY(!AnalysisWorkerRunning());
    QVERIFY(answerer.boxes.isEmpty());
    QVERIFY(ResultFolders().isEmpty());
    QVERIFY(!QDir(QStringLiteral("vcwk012345")).exists());
    QVERIFY(!ReadLog().contains(QStringLiteral("ANALYSYS END")));
    QTRY_COMPARE(dialog_->Control<QLabel>(kStatusLine)->text(), QStringLiteral("実行中断"));
    QTRY_COMPARE(dialog_->Control<QLabel>(kStatusDetailLine)->text(), QStringLiteral("----"));
  }

  // Esc or the close box closes the progress box without the abort flag: the
  // command ends at once, copies nothing and changes no control, while the
  // worker runs on. Its late end-of-run signal must not close the next
  // run's box.
  void progressBoxClosedEarly_data() {
    QTest::addColumn<bool>("escape");
    QTest::newRow("Esc") << true;
    QTest::newRow("close box") << false;
  }
  void progressBoxClosedEarly() {
    QFETCH(bool, escape);
    dialog_->Control<QLineEdit>(kSourceEdit)->setText(kSample);
    dialog_->Control<QLineEdit>(kOutputEdit)->setText(QStringLiteral("out"));
    BoxAnswerer answerer;
    ProgressDialog* box = &dialog_->progressDialog();
    {
      GatedHost gate(dialog_->host());
      WhenReady(box, [&] { return box->isVisible() && gate.WorkerHeld(); }, [&] {
        if (escape)
          QTest::keyClick(box, Qt::Key_Escape);
        else
          box->close();
      });
      dialog_->Control<QAbstractButton>(kAnalyseButton)->click();
      QVERIFY(AnalysisWorkerRunning());
      QCOMPARE(g_abortRequested.load(), 0);
      for (int id : kResultControls) QVERIFY(!dialog_->Control(id)->isEnabled());
      gate.Open();
      QTRY_VERIFY_WITH_TIMEOUT(!AnalysisWorkerRunning(), 30000);
    }
    QCOMPARE(g_analysisCompleted.load(), 1);
    QVERIFY(ResultFolders().isEmpty());
    QVERIFY(!answerer.Texts().contains(QStringLiteral("解析完了 結果を起動します")));
    for (int id : kResultControls) QVERIFY(!dialog_->Control(id)->isEnabled());

    // The next run: its box stays up while its worker is held.
    GatedHost gate(dialog_->host());
    bool stayedOpen = false;
    WhenReady(box, [&] { return box->isVisible() && gate.WorkerHeld(); }, [&] {
      QTimer::singleShot(300, box, [&] {
        stayedOpen = box->isVisible();
        gate.Open();
      });
    });
    answerer.cancel = [](const test::SeenBox& b) { return b.text == QStringLiteral("解析完了 結果を起動します"); };
    dialog_->Control<QAbstractButton>(kAnalyseButton)->click();
    QVERIFY(stayedOpen);
    QCOMPARE(ResultFolders().size(), 1);
    QVERIFY(dialog_->Control(kFunctionTreeButton)->isEnabled());
  }

  // A second dialog in the same directory (as a second instance of the
  // program would be) is refused at its analyse command while the first
  // one's run holds the directory: one box naming the folder, before it
  // touches anything; the first run ends as usual.
  void secondDialogIsRefusedWhileARunHoldsTheFolder() {
    auto second = std::make_unique<MainDialog>();
    SetHost(&dialog_->host());  // the first dialog's run reports to its own host
    for (MainDialog* d : {dialog_.get(), second.get()}) {
      d->Control<QLineEdit>(kSourceEdit)->setText(kSample);
      d->Control<QLineEdit>(kOutputEdit)->setText(QStringLiteral("out"));
    }
    QSignalSpy secondProgress(&second->progressDialog(), &QDialog::finished);
    GatedHost gate(dialog_->host());
    BoxAnswerer answerer;
    answerer.cancel = [](const test::SeenBox& b) { return b.text == QStringLiteral("解析完了 結果を起動します"); };
    ProgressDialog* box = &dialog_->progressDialog();
    QString logWhileHeld;
    WhenReady(box, [&] { return box->isVisible() && gate.WorkerHeld(); }, [&] {
      logWhileHeld = ReadLog();
      second->Control<QAbstractButton>(kAnalyseButton)->click();
      QCOMPARE(ReadLog(), logWhileHeld);  // the second command wrote nothing
      gate.Open();
    });
    dialog_->Control<QAbstractButton>(kAnalyseButton)->click();

    QCOMPARE(answerer.Texts(), (QStringList{QStringLiteral("このフォルダでは別のコマンドが実行中です：") + QDir::currentPath(),
                                            QStringLiteral("解析完了 結果を起動します")}));
    QCOMPARE(answerer.boxes.first().caption, QStringLiteral("終了"));
    QVERIFY(logWhileHeld.startsWith(QStringLiteral("ANALYSYS START")));
    QCOMPARE(secondProgress.count(), 0);
    QVERIFY(!second->Control(kFunctionTreeButton)->isEnabled());
    QCOMPARE(g_analysisCompleted.load(), 1);
    QCOMPARE(ResultFolders().size(), 1);
    QVERIFY(dialog_->Control(kFunctionTreeButton)->isEnabled());
    second.reset();
  }

  // Ending the program while the worker of an early-closed run still runs:
  // the worker is stopped and waited for; its boxes are not shown.
  void exitWhileWorkerRuns() {
    dialog_->Control<QLineEdit>(kSourceEdit)->setText(kSample);
    dialog_->Control<QLineEdit>(kOutputEdit)->setText(QStringLiteral("out"));
    GatedHost gate(dialog_->host());
    ProgressDialog* box = &dialog_->progressDialog();
    WhenReady(box, [&] { return box->isVisible() && gate.WorkerHeld(); }, [&] { box->reject(); });
    dialog_->Control<QAbstractButton>(kAnalyseButton)->click();
    QVERIFY(AnalysisWorkerRunning());
    BoxAnswerer answerer;
    QTimer::singleShot(100, [&gate] { gate.Open(); });
    dialog_->StopWorkerForExit();
    QVERIFY(!AnalysisWorkerRunning());
    QCOMPARE(g_analysisCompleted.load(), 0);
    QVERIFY(answerer.boxes.isEmpty());
    QVERIFY(!QDir(QStringLiteral("vcwk012345")).exists());
  }

 private:
  std::unique_ptr<TempCurrentDir> cwd_;
  std::unique_ptr<MainDialog> dialog_;
};

QTEST_MAIN(AnalyseTest)
#include "analyse_test.moc"
