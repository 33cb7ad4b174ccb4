// The commands on the last run's results, driven from the dialog: the choice
// lists that a run on the shipped sample fills, the call-tree and variable
// buttons with their radio buttons, edits and lists, their checks, and the
// design-document command with its busy box.
#include <QAbstractItemView>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <memory>

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
using vandrel::test::GatedHost;
using vandrel::test::Items;
using vandrel::test::TempCurrentDir;
using vandrel::test::FakeXdgOpen;
using vandrel::test::WhenReady;

namespace {

const QString kSample = QStringLiteral(VANDREL_SOURCE_DIR "/examples/sample");
const QString kCallTreeWork = QStringLiteral("vcwk012345/HTML/CallTree");
const QString kVariableWork = QStringLiteral("vcwk012345/RAM_D");

// The sample's functions and written variables, sorted as the lists sort
// them (letters without case).
const QStringList kSampleFunctions = {
    "main",          "Motor_Clamp", "Motor_Control", "Motor_GetSpeed",  "Motor_Init",   "Motor_SetTarget",
    "Sensor_Average", "Sensor_Init", "Sensor_Read",   "Sensor_ReadPort", "System_Check", "System_Cycle"};
const QStringList kSampleVariables = {"g_errorCount",    "g_motor.mode",    "g_motor.speed",
                                      "g_motor.target",  "g_pwmDuty",       "g_sensorAverage",
                                      "g_sensorValue[]", "g_systemMode",    "s_channel"};

QStringList Folders(const QString& path) {
  return QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList Files(const QString& path) { return QDir(path).entryList(QDir::Files, QDir::Name); }

QByteArray ReadBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray Cp932Bytes(const QString& text) { return QByteArray::fromStdString(ToCp932(text.toStdString())); }

// The folders that `after` holds beyond `before`.
QStringList NewFolders(const QStringList& before, const QStringList& after) {
  QStringList added;
  for (const QString& f : after)
    if (!before.contains(f)) added << f;
  return added;
}

// Sets a query's controls as a user would: the radio button, the edit, and
// the list's entry of that name (or, for a text that is no entry, the list's
// own text).
void SetQuery(MainDialog& dialog, int typedRadio, int listedRadio, int edit, int list, bool typed,
              const QString& editText, const QString& listText) {
  dialog.Control<QRadioButton>(typed ? typedRadio : listedRadio)->click();
  dialog.Control<QLineEdit>(edit)->setText(editText);
  auto* combo = dialog.Control<QComboBox>(list);
  const int entry = combo->findText(listText);
  combo->setCurrentIndex(entry);
  if (entry < 0) combo->setEditText(listText);
}

// Types a name for the call tree or the variable analysis.
void TypeQueryName(MainDialog& dialog, bool callTree, const QString& name) {
  if (callTree)
    SetQuery(dialog, kTypedFunctionRadio, kListedFunctionRadio, kFunctionEdit, kFunctionList, true, name, "");
  else
    SetQuery(dialog, kTypedVariableRadio, kListedVariableRadio, kVariableEdit, kVariableList, true, name, "");
}

}  // namespace

class QueryTest : public QObject {
  Q_OBJECT

 private slots:
  // One run on the sample through the analyse button serves every test.
  void initTestCase() {
    cwd_ = std::make_unique<TempCurrentDir>();
    QVERIFY(QFile::copy(kSample + QStringLiteral("/DefList.txt"), QStringLiteral("DefList.txt")));
    QVERIFY(QDir().mkdir(QStringLiteral("out")));
    dialog_ = std::make_unique<MainDialog>();
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
    dialog_->Control<QLineEdit>(kSourceEdit)->setText(kSample);
    dialog_->Control<QLineEdit>(kOutputEdit)->setText(QDir::current().filePath(QStringLiteral("out")));
    RunAnalysis();
  }
  void cleanupTestCase() {
    dialog_.reset();
    cwd_.reset();
  }
  void init() { g_abortRequested = 0; }

  void listsHoldTheSample() {
    QCOMPARE(Items(dialog_->Control<QComboBox>(kFunctionList)), kSampleFunctions);
    QCOMPARE(Items(dialog_->Control<QComboBox>(kVariableList)), kSampleVariables);
    QCOMPARE(dialog_->Control<QComboBox>(kFunctionList)->currentText(), QStringLiteral("SELECT FUNCTION"));
    QCOMPARE(dialog_->Control<QComboBox>(kVariableList)->currentText(), QStringLiteral("SELECT RAM VALUE"));
  }

  // A button press writes the stamped folder into the work folder, copies it
  // into the output folder, shows its closing box and opens the copy's
  // index.html with the desktop. A relative output folder is taken below the
  // current directory.
  void queryCommand_data() {
    QTest::addColumn<bool>("callTree");
    QTest::addColumn<bool>("typed");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("relativeOutput");
    QTest::addColumn<QString>("doneText");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("textFile");
    QTest::addColumn<QString>("textStart");
    QTest::newRow("call tree, chosen in the list")
        << true << false << "System_Cycle" << false << "コールツリー作成完了"
        << QStringList{"System_Cycle", "call_tree_System_Cycle.html", "call_tree_System_Cycle.txt", "index.html"}
        << "call_tree_System_Cycle.txt" << "--System_Cycle\r\n\t|--Sensor_Read\r\n\t|\t|--Sensor_ReadPort\r\n";
    QTest::newRow("call tree, typed name, relative output folder")
        << true << true << "Motor_SetTarget" << true << "コールツリー作成完了"
        << QStringList{"Motor_SetTarget", "call_tree_Motor_SetTarget.html", "call_tree_Motor_SetTarget.txt",
                       "index.html"}
        << "call_tree_Motor_SetTarget.txt" << "--Motor_SetTarget\r\n\t|--Motor_Clamp\r\n";
    QTest::newRow("variable, chosen in the list")
        << false << false << "g_motor.speed" << false << "g_motor.speed変数分析終了"
        << QStringList{"Ram_g_motor.speed.html", "Ram_g_motor.speed.txt", "Ram_g_motor.speedTree.txt", "index.html"}
        << "Ram_g_motor.speed.txt" << "\r\nMotor_Control\r\n\tg_motor.speed [w]\r\n";
    QTest::newRow("variable, typed name, relative output folder")
        << false << true << "g_systemMode" << true << "g_systemMode変数分析終了"
        << QStringList{"Ram_g_systemMode.html", "Ram_g_systemMode.txt", "Ram_g_systemModeTree.txt", "index.html"}
        << "Ram_g_systemModeTree.txt" << "--main\r\n\t\t▲g_systemMode [w]\r\n\t|--Motor_Init\r\n";
  }
  void queryCommand() {
    QFETCH(bool, callTree);
    QFETCH(bool, typed);
    QFETCH(QString, name);
    QFETCH(bool, relativeOutput);
    QFETCH(QString, doneText);
    QFETCH(QStringList, files);
    QFETCH(QString, textFile);
    QFETCH(QString, textStart);
    const QString work = callTree ? kCallTreeWork : kVariableWork;
    if (callTree)
      SetQuery(*dialog_, kTypedFunctionRadio, kListedFunctionRadio, kFunctionEdit, kFunctionList, typed,
               typed ? name : QString(), typed ? QStringLiteral("main") : name);
    else
      SetQuery(*dialog_, kTypedVariableRadio, kListedVariableRadio, kVariableEdit, kVariableList, typed,
               typed ? name : QString(), typed ? QStringLiteral("g_pwmDuty") : name);
    const QString out = QDir::current().filePath(QStringLiteral("out"));
    dialog_->Control<QLineEdit>(kOutputEdit)->setText(relativeOutput ? QStringLiteral("out") : out);
    const QStringList before = Folders(work), outBefore = Folders(QStringLiteral("out"));

    FakeXdgOpen xdgOpen;
    BoxAnswerer answerer;
    dialog_->Control<QAbstractButton>(callTree ? kFunctionTreeButton : kVariableButton)->click();

    QCOMPARE(answerer.Texts(), QStringList{doneText});
    QCOMPARE(answerer.boxes.first().caption, QStringLiteral("終了"));
    const QStringList added = NewFolders(before, Folders(work));
    QCOMPARE(added.size(), 1);
    const QString stamp = added.first();
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d{10}_") + QRegularExpression::escape(name) + u'$')
                 .match(stamp)
                 .hasMatch(),
             qPrintable(stamp));
    const QString made = work + u'/' + stamp, copy = out + u'/' + stamp;
    QCOMPARE(Files(made), files);
    QCOMPARE(NewFolders(outBefore, Folders(QStringLiteral("out"))), QStringList{stamp});
    QCOMPARE(Files(copy), files);
    for (const QString& f : files) QCOMPARE(ReadBytes(copy + u'/' + f), ReadBytes(made + u'/' + f));
    const QByteArray text = ReadBytes(made + u'/' + textFile);
    QVERIFY2(text.startsWith(Cp932Bytes(textStart)), text.left(200).constData());
    QCOMPARE(xdgOpen.Opened(), QStringList{copy + QStringLiteral("/index.html")});
    QCOMPARE(dialog_->Control<QLabel>(kStatusLine)->text(),
             callTree ? QStringLiteral("コールツリー完了") : doneText);
  }

  // The copy's index.html goes to xdg-open, and the command waits for its exit
  // status: a failure (1, or 3 as where no opener is set up) shows "起動失敗"
  // after the closing box.
  void openStatus_data() {
    QTest::addColumn<bool>("callTree");
    QTest::addColumn<QString>("name");  // one per row: a stamped folder of its own
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("boxes");
    const QString failed = QStringLiteral("起動失敗");
    const QString functions[] = {"Motor_Control", "Sensor_Init", "System_Check"};
    const QString variables[] = {"g_sensorAverage", "g_errorCount", "s_channel"};
    const int statuses[] = {0, 1, 3};
    for (int i = 0; i < 3; ++i) {
      const int status = statuses[i];
      const QStringList fails = status ? QStringList{failed} : QStringList{};
      QTest::addRow("call tree, xdg-open exits %d", status)
          << true << functions[i] << status << QStringList{QStringLiteral("コールツリー作成完了")} + fails;
      QTest::addRow("variable, xdg-open exits %d", status)
          << false << variables[i] << status << QStringList{variables[i] + QStringLiteral("変数分析終了")} + fails;
    }
  }
  void openStatus() {
    QFETCH(bool, callTree);
    QFETCH(QString, name);
    QFETCH(int, status);
    QFETCH(QStringList, boxes);
    TypeQueryName(*dialog_, callTree, name);
    dialog_->Control<QLineEdit>(kOutputEdit)->setText(QStringLiteral("out"));
    const QStringList outBefore = Folders(QStringLiteral("out"));
    FakeXdgOpen xdgOpen(status);
    BoxAnswerer answerer;
    dialog_->Control<QAbstractButton>(callTree ? kFunctionTreeButton : kVariableButton)->click();
    QCOMPARE(answerer.Texts(), boxes);
    const QStringList added = NewFolders(outBefore, Folders(QStringLiteral("out")));
    QCOMPARE(added.size(), 1);
    QCOMPARE(xdgOpen.Opened(), QStringList{QDir::current().absoluteFilePath(QStringLiteral("out/") + added.first() +
                                                                            QStringLiteral("/index.html"))});
  }

  // The checks end the command with their box: no folder, nothing opened.
  void checks_data() {
    QTest::addColumn<bool>("callTree");
    QTest::addColumn<bool>("typed");
    QTest::addColumn<QString>("editText");
    QTest::addColumn<QString>("listText");
    QTest::addColumn<QString>("box");
    QTest::newRow("call tree: typed name empty, the list holds a choice")
        << true << true << "" << "main" << "入力してください";
    QTest::newRow("call tree: the list at its prompt, a name typed")
        << true << false << "main" << "SELECT FUNCTION" << "リストから選択してください";
    QTest::newRow("call tree: a typed name without record")
        << true << true << "Motor_Missing" << "main" << "該当関数が存在しません";
    QTest::newRow("call tree: a name typed into the list without record")
        << true << false << "" << "Motor_Missing" << "該当関数が存在しません";
    QTest::newRow("variable: typed name empty, the list holds a choice")
        << false << true << "" << "g_pwmDuty" << "入力してください";
    QTest::newRow("variable: the list at its prompt, a name typed")
        << false << false << "g_pwmDuty" << "SELECT RAM VALUE" << "リストから選択してください";
  }
  void checks() {
    QFETCH(bool, callTree);
    QFETCH(bool, typed);
    QFETCH(QString, editText);
    QFETCH(QString, listText);
    QFETCH(QString, box);
    if (callTree)
      SetQuery(*dialog_, kTypedFunctionRadio, kListedFunctionRadio, kFunctionEdit, kFunctionList, typed,
               editText, listText);
    else
      SetQuery(*dialog_, kTypedVariableRadio, kListedVariableRadio, kVariableEdit, kVariableList, typed,
               editText, listText);
    dialog_->Control<QLineEdit>(kOutputEdit)->setText(QStringLiteral("out"));
    const QStringList trees = Folders(kCallTreeWork), variables = Folders(kVariableWork),
                      outs = Folders(QStringLiteral("out"));
    FakeXdgOpen xdgOpen;
    BoxAnswerer answerer;
    dialog_->Control<QAbstractButton>(callTree ? kFunctionTreeButton : kVariableButton)->click();
    QCOMPARE(answerer.Texts(), QStringList{box});
    QCOMPARE(answerer.boxes.first().caption, QStringLiteral("終了"));
    QCOMPARE(Folders(kCallTreeWork), trees);
    QCOMPARE(Folders(kVariableWork), variables);
    QCOMPARE(Folders(QStringLiteral("out")), outs);
    QVERIFY(xdgOpen.Opened().isEmpty());
  }

  // A missing output folder: the copy fails, the command goes on, and the
  // copy's index.html, which is not there, is not opened but reported.
  void missingOutputFolder_data() {
    QTest::addColumn<bool>("callTree");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("doneText");
    QTest::newRow("call tree") << true << "System_Cycle" << "コールツリー作成完了";
    QTest::newRow("variable") << false << "g_pwmDuty" << "g_pwmDuty変数分析終了";
  }
  void missingOutputFolder() {
    QFETCH(bool, callTree);
    QFETCH(QString, name);
    QFETCH(QString, doneText);
    TypeQueryName(*dialog_, callTree, name);
    dialog_->Control<QLineEdit>(kOutputEdit)->setText(QStringLiteral("nosuch"));
    FakeXdgOpen xdgOpen;
    BoxAnswerer answerer;
    dialog_->Control<QAbstractButton>(callTree ? kFunctionTreeButton : kVariableButton)->click();
    QCOMPARE(answerer.Texts(), QStringList({"コピー失敗", doneText, "起動失敗"}));
    QVERIFY(xdgOpen.Opened().isEmpty());
  }

  // The button stays disabled; the command itself, invoked here, writes the
  // design information of each .c file, asks, and on OK opens the busy box,
  // which closes again at once without the abort flag. With the abort flag
  // set the pass writes nothing and nothing is asked. Files it cannot write
  // show their boxes, and the command goes on as before without saying more.
  void designDocument_data() {
    QTest::addColumn<bool>("noFolder");  // no fileinfo2 folder to write into
    QTest::addColumn<bool>("abortSet");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QStringList>("files");
    const QStringList written{"INF_main.c", "INF_motor.c", "INF_sensor.c"};
    QTest::newRow("OK") << false << false << true << QStringList{"EXL設計書作成開始します"} << written;
    QTest::newRow("Cancel") << false << false << false << QStringList{"EXL設計書作成開始します"} << written;
    QTest::newRow("abort flag set") << false << true << true << QStringList{} << QStringList{};
    QTest::newRow("nothing written") << true << false << true
                                     << QStringList{"ファイル開けず", "ファイル開けず", "ファイル開けず",
                                                    "EXL設計書作成開始します"}
                                     << QStringList{};
  }
  void designDocument() {
    QFETCH(bool, noFolder);
    QFETCH(bool, abortSet);
    QFETCH(bool, confirm);
    QFETCH(QStringList, boxes);
    QFETCH(QStringList, files);
    QVERIFY(!dialog_->Control(kDesignDocButton)->isEnabled());
    QDir info(QStringLiteral("vcwk012345/fileinfo2"));
    for (const QString& f : Files(info.path())) QVERIFY(info.remove(f));
    if (noFolder) QVERIFY(QDir().rmdir(info.path()));
    const QString status = dialog_->Control<QLabel>(kStatusLine)->text();
    dialog_->Control<QLineEdit>(kOutputEdit)->setText(QStringLiteral("out"));
    g_abortRequested = abortSet ? 1 : 0;
    BusyDialog& busy = dialog_->busyBox().dialog();
    test::EventCounter shows(&busy, QEvent::Show);
    BoxAnswerer answerer;
    answerer.cancel = [confirm](const test::SeenBox&) { return !confirm; };

    dialog_->OnDesignDocButton();

    QCOMPARE(answerer.Texts(), boxes);
    for (const test::SeenBox& b : answerer.boxes) QCOMPARE(b.caption, QStringLiteral("終了"));
    QCOMPARE(Files(info.path()), files);
    const bool opened = !abortSet && confirm;
    QCOMPARE(shows.count, opened ? 1 : 0);
    QCOMPARE(busy.isVisible(), opened);  // its close is delivered once it is up
    QTRY_VERIFY(!busy.isVisible());
    QCOMPARE(g_abortRequested.load(), abortSet ? 1 : 0);
    QCOMPARE(dialog_->Control<QLabel>(kStatusLine)->text(), status);
    if (noFolder) QVERIFY(QDir().mkdir(info.path()));
  }

  // Pictures of the dialog after the commands, its lists filled and a
  // function chosen, and of the open function list.
  void screenshot() {
    SetQuery(*dialog_, kTypedFunctionRadio, kListedFunctionRadio, kFunctionEdit, kFunctionList, false, "",
             "System_Cycle");
    QVERIFY(dialog_->grab().save(QStringLiteral(VANDREL_BUILD_DIR "/main_dialog_results.png")));
    auto* list = dialog_->Control<QComboBox>(kFunctionList);
    list->showPopup();
    QWidget* popup = list->view()->window();
    QVERIFY(QTest::qWaitForWindowExposed(popup));
    QVERIFY(popup->grab().save(QStringLiteral(VANDREL_BUILD_DIR "/main_dialog_function_list.png")));
    list->hidePopup();
  }

  // The progress box closed early leaves the query buttons of the earlier
  // run enabled while the new worker runs on: a query then waits for that
  // worker and works on the results it wrote.
  void queryWaitsForAWorkerStillRunning() {
    SetQuery(*dialog_, kTypedFunctionRadio, kListedFunctionRadio, kFunctionEdit, kFunctionList, false, "",
             "System_Cycle");
    dialog_->Control<QLineEdit>(kOutputEdit)->setText(QDir::current().filePath(QStringLiteral("out")));
    BoxAnswerer answerer;
    bool workerEnded = false;
    answerer.cancel = [&workerEnded](const test::SeenBox&) {
      workerEnded = !AnalysisWorkerRunning();
      return false;
    };
    {
      GatedHost gate(dialog_->host());
      ProgressDialog* box = &dialog_->progressDialog();
      WhenReady(box, [&] { return box->isVisible() && gate.WorkerHeld(); },
                [box] { QTest::keyClick(box, Qt::Key_Escape); });
      dialog_->Control<QAbstractButton>(kAnalyseButton)->click();
      QVERIFY(AnalysisWorkerRunning());
      QVERIFY(dialog_->Control(kFunctionTreeButton)->isEnabled());
      QTimer::singleShot(200, [&gate] { gate.Open(); });
      FakeXdgOpen xdgOpen;
      dialog_->Control<QAbstractButton>(kFunctionTreeButton)->click();
      QCOMPARE(xdgOpen.Opened().size(), 1);
    }
    QCOMPARE(answerer.Texts(), QStringList{"コールツリー作成完了"});
    QVERIFY(workerEnded);
    QCOMPARE(g_analysisCompleted.load(), 1);
    QVERIFY(ReadBytes(kCallTreeWork + QStringLiteral("/call_tree.txt")).startsWith("--main\r\n\t|--Motor_Init\r\n"));
    const QStringList made = Folders(kCallTreeWork);
    QCOMPARE(made.size(), 1);
    QVERIFY(ReadBytes(kCallTreeWork + u'/' + made.first() + QStringLiteral("/call_tree_System_Cycle.txt"))
                .startsWith("--System_Cycle\r\n\t|--Sensor_Read\r\n"));
  }

  // A second run adds its names again, sorted in; the lists keep their text.
  void secondRunKeepsTheLists() {
    SetQuery(*dialog_, kTypedFunctionRadio, kListedFunctionRadio, kFunctionEdit, kFunctionList, false, "",
             "Sensor_Init");
    SetQuery(*dialog_, kTypedVariableRadio, kListedVariableRadio, kVariableEdit, kVariableList, false, "",
             "g_systemMode");
    dialog_->Control<QLineEdit>(kOutputEdit)->setText(QDir::current().filePath(QStringLiteral("out")));
    RunAnalysis();
    QStringList functions, variables;
    for (const QString& f : kSampleFunctions) functions << f << f;
    for (const QString& v : kSampleVariables) variables << v << v;
    QCOMPARE(Items(dialog_->Control<QComboBox>(kFunctionList)), functions);
    QCOMPARE(Items(dialog_->Control<QComboBox>(kVariableList)), variables);
    QCOMPARE(dialog_->Control<QComboBox>(kFunctionList)->currentText(), QStringLiteral("Sensor_Init"));
    QCOMPARE(dialog_->Control<QComboBox>(kVariableList)->currentText(), QStringLiteral("g_systemMode"));
  }

  // A lock file that cannot be opened (here a folder) takes no lock: each
  // command shows one box naming it and touches nothing.
  void aLockFileThatCannotBeOpenedRefusesEveryCommand() {
    SetQuery(*dialog_, kTypedFunctionRadio, kListedFunctionRadio, kFunctionEdit, kFunctionList, false, "", "main");
    SetQuery(*dialog_, kTypedVariableRadio, kListedVariableRadio, kVariableEdit, kVariableList, false, "",
             "g_pwmDuty");
    dialog_->Control<QLineEdit>(kOutputEdit)->setText(QDir::current().filePath(QStringLiteral("out")));
    const QString lock = QDir::current().filePath(QStringLiteral(".vandrel.lock"));
    QVERIFY(QFile::remove(lock));
    QVERIFY(QDir().mkdir(lock));
    const QMap<QString, QByteArray> before = Everything();
    BoxAnswerer answerer;
    FakeXdgOpen xdgOpen;
    dialog_->Control<QAbstractButton>(kAnalyseButton)->click();
    dialog_->Control<QAbstractButton>(kFunctionTreeButton)->click();
    dialog_->Control<QAbstractButton>(kVariableButton)->click();
    dialog_->OnDesignDocButton();
    QCOMPARE(answerer.Texts(), QStringList(4, QStringLiteral("ロックファイルを作成できません：") + lock));
    for (const test::SeenBox& b : answerer.boxes) QCOMPARE(b.caption, QStringLiteral("終了"));
    QVERIFY(xdgOpen.Opened().isEmpty());
    QVERIFY(Everything() == before);
    QVERIFY(dialog_->Control(kFunctionTreeButton)->isEnabled());
    QVERIFY(QDir().rmdir(lock));
  }

 private:
  // Every file below the current directory with its bytes.
  static QMap<QString, QByteArray> Everything() {
    QMap<QString, QByteArray> files;
    QDirIterator it(QStringLiteral("."), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString path = it.next();
      files.insert(path, ReadBytes(path));
    }
    return files;
  }

  // The analyse button, its closing question declined.
  void RunAnalysis() {
    BoxAnswerer answerer;
    answerer.cancel = [](const test::SeenBox& b) { return b.text == QStringLiteral("解析完了 結果を起動します"); };
    dialog_->Control<QAbstractButton>(kAnalyseButton)->click();
    QCOMPARE(g_analysisCompleted.load(), 1);
    QCOMPARE(answerer.Texts().last(), QStringLiteral("解析完了 結果を起動します"));
    QVERIFY(dialog_->Control(kFunctionTreeButton)->isEnabled());
  }

  std::unique_ptr<TempCurrentDir> cwd_;
  std::unique_ptr<MainDialog> dialog_;
};

QTEST_MAIN(QueryTest)
#include "query_test.moc"
