// The main dialog: its controls and initial states, the exit rule, the
// version item, the folder pickers, the drop targets and the choice lists.
#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QComboBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeView>
#include <QMimeData>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QToolButton>
#include <QUrl>
#include <memory>

#include "platform/cp932.h"
#include "run/run_state.h"
#include "ui/busy_dialog.h"
#include "ui/drop_edit.h"
#include "ui/main_dialog.h"
#include "ui/translations.h"
#include "ui_test_support.h"

using namespace vandrel;
using namespace vandrel::ui;
using vandrel::test::BoxAnswerer;
using vandrel::test::TempCurrentDir;
using vandrel::test::WhenReady;

Q_DECLARE_METATYPE(std::function<void(MainDialog&)>)

namespace {

QString Status(MainDialog& d, int id) { return d.Control<QLabel>(id)->text(); }

std::unique_ptr<QMimeData> UrlDrop(const QStringList& urls) {
  auto data = std::make_unique<QMimeData>();
  QList<QUrl> list;
  for (const QString& u : urls) list << QUrl(u);
  data->setUrls(list);
  return data;
}

void Drop(QWidget* target, const QMimeData& data) {
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &drop);
}

}  // namespace

class MainDialogTest : public QObject {
  Q_OBJECT

 private slots:
  // Qt's own texts in Japanese, as the program installs them. The pickers
  // keep their state (columns, places) in a settings file of their own, not
  // in the user's, which would carry it from run to run.
  void initTestCase() {
    QVERIFY(config_.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
    QVERIFY(InstallJapaneseTranslations());
  }
  void init() {
    cwd_ = std::make_unique<TempCurrentDir>();
    g_abortRequested = 0;
  }
  void cleanup() {
    QVERIFY(QApplication::topLevelWidgets().isEmpty() ||
            std::none_of(QApplication::topLevelWidgets().begin(), QApplication::topLevelWidgets().end(),
                         [](QWidget* w) { return w->isVisible(); }));
    cwd_.reset();
  }

  void initialControlStates_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("checked");
    QTest::newRow("1000 browse source") << 1000 << true << true << false;
    QTest::newRow("1001 analyse") << 1001 << true << true << false;
    QTest::newRow("1002 exit") << 1002 << true << true << false;
    QTest::newRow("1003 source edit") << 1003 << true << true << false;
    QTest::newRow("1004 call tree") << 1004 << false << true << false;
    QTest::newRow("1006 output edit") << 1006 << true << true << false;
    QTest::newRow("1007 browse output") << 1007 << true << true << false;
    QTest::newRow("1010 variable") << 1010 << false << true << false;
    QTest::newRow("1015 excel progress") << 1015 << false << true << false;
    QTest::newRow("1016 external defines") << 1016 << true << true << false;
    QTest::newRow("1017 design document") << 1017 << false << true << false;
    QTest::newRow("1019 xls") << 1019 << false << false << false;
    QTest::newRow("1020 xlsx") << 1020 << false << false << false;
    QTest::newRow("1021 include locals") << 1021 << true << true << false;
    QTest::newRow("1024 function edit") << 1024 << false << true << false;
    QTest::newRow("1025 variable edit") << 1025 << false << true << false;
    QTest::newRow("1029 function list") << 1029 << false << true << false;
    QTest::newRow("1030 variable list") << 1030 << false << true << false;
    QTest::newRow("1037 typed function") << 1037 << false << true << false;
    QTest::newRow("1038 listed function") << 1038 << false << true << true;
    QTest::newRow("1041 typed variable") << 1041 << false << true << false;
    QTest::newRow("1042 listed variable") << 1042 << false << true << true;
    QTest::newRow("1044 memory slider") << 1044 << true << true << false;
  }
  void initialControlStates() {
    QFETCH(int, id);
    QFETCH(bool, enabled);
    QFETCH(bool, visible);
    QFETCH(bool, checked);
    MainDialog dialog;
    dialog.show();
    QWidget* control = dialog.Control(id);
    QVERIFY(control);
    QCOMPARE(control->isEnabled(), enabled);
    QCOMPARE(control->isVisible(), visible);
    if (auto* button = qobject_cast<QAbstractButton*>(control)) QCOMPARE(button->isChecked(), checked);
    QVERIFY(dialog.rect().contains(control->geometry()));
    dialog.hide();
  }

  void initialTexts() {
    SetAllTraces("");
    MainDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("C言語 ソルメダ解析プログラム v1.40"));
    QCOMPARE(Status(dialog, kStatusLine), QStringLiteral("[プログラムフォルダ指定して[解析]実行してください]"));
    QCOMPARE(Status(dialog, kStatusDetailLine), QString());
    QCOMPARE(ToUtf8(GetStatusText()), std::string("[プログラムフォルダ指定して[解析]実行してください]"));
    QCOMPARE(dialog.Control<QLineEdit>(kSourceEdit)->text(),
             QStringLiteral("<解析ソフトフォルダを選択 （ドラッグ&ドロップ）>"));
    QCOMPARE(dialog.Control<QLineEdit>(kOutputEdit)->text(),
             QStringLiteral("<結果出力先を選択（ドラッグ&ドロップ）>"));
    QCOMPARE(dialog.Control<QComboBox>(kFunctionList)->currentText(), QStringLiteral("SELECT FUNCTION"));
    QCOMPARE(dialog.Control<QComboBox>(kVariableList)->currentText(), QStringLiteral("SELECT RAM VALUE"));
    QVERIFY(dialog.Control<QComboBox>(kFunctionList)->isEditable());
    QCOMPARE(dialog.Control<QComboBox>(kFunctionList)->count(), 0);
    QCOMPARE(dialog.Control<QAbstractButton>(kAnalyseButton)->text(), QStringLiteral("プログラム解析"));
    QCOMPARE(dialog.Control<QAbstractButton>(kDesignDocButton)->text(), QStringLiteral("EXCEL\n設計書作成"));
    QCOMPARE(dialog.Control<QAbstractButton>(kFunctionTreeButton)->text(), QStringLiteral("関数指定\nツリー作成"));
    QCOMPARE(dialog.Control<QAbstractButton>(kVariableButton)->text(), QStringLiteral("指定変数\n分析"));
    QCOMPARE(dialog.Control<QAbstractButton>(kIncludeLocalsCheck)->text(),
             QStringLiteral("[R/W解析] ローカル変数を含める"));
    for (int id : {kBrowseSourceButton, kBrowseOutputButton, kAnalyseButton, kFunctionTreeButton,
                   kVariableButton, kDesignDocButton})
      QVERIFY2(!dialog.Control<QAbstractButton>(id)->icon().isNull(), qPrintable(MainDialog::ControlName(id)));
    QVERIFY(!dialog.windowIcon().isNull());
    // No push button is the default button.
    for (QPushButton* b : dialog.findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly)) QVERIFY(!b->isDefault() && !b->autoDefault());
    QStringList groups;
    for (QGroupBox* g : dialog.findChildren<QGroupBox*>()) groups << g->title();
    QCOMPARE(groups, QStringList({"ユーザー入力", "Cプログラム　解析機能", "関数指定", "変数指定"}));
    QCOMPARE(g_functionPassTrace1, std::string("init"));
    QCOMPARE(g_callTreeTrace2, std::string("init"));
  }

  void memorySlider() {
    MainDialog dialog;
    auto* slider = dialog.Control<QSlider>(kMemorySlider);
    QCOMPARE(slider->minimum(), 1);
    QCOMPARE(slider->maximum(), 4);
    QCOMPARE(slider->value(), 1);
    QCOMPARE(slider->tickInterval(), 1);
    QCOMPARE(slider->tickPosition(), QSlider::TicksAbove);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_End);
    QCOMPARE(slider->value(), 4);
  }

  // The radio buttons come in two pairs: choosing in one leaves the other.
  void radioPairs() {
    MainDialog dialog;
    dialog.EnableResultCommands();
    dialog.Control<QRadioButton>(kTypedFunctionRadio)->click();
    QVERIFY(dialog.Control<QRadioButton>(kTypedFunctionRadio)->isChecked());
    QVERIFY(!dialog.Control<QRadioButton>(kListedFunctionRadio)->isChecked());
    QVERIFY(dialog.Control<QRadioButton>(kListedVariableRadio)->isChecked());
    QVERIFY(!dialog.Control<QRadioButton>(kTypedVariableRadio)->isChecked());
  }

  // The dialog font carries Japanese glyphs (the screenshot shows them).
  void japaneseFontAndScreenshot() {
    MainDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QFontMetrics fm(dialog.font());
    for (char32_t c : {U'解', U'析', U'ソ', U'ﾊ', U'×'}) QVERIFY(fm.inFontUcs4(c));
    QVERIFY2(QFontInfo(dialog.font()).family().contains(QStringLiteral("CJK")),
             qPrintable(QFontInfo(dialog.font()).family()));
    const QString shot = QStringLiteral(VANDREL_BUILD_DIR "/main_dialog.png");
    QVERIFY(dialog.grab().save(shot));
    dialog.EnableResultCommands();
    QVERIFY(dialog.grab().save(QStringLiteral(VANDREL_BUILD_DIR "/main_dialog_enabled.png")));
    dialog.hide();
  }

  // Enter, Esc, the close box and "終了" end the dialog, unless an
  // automation client holds the program: then the window only hides.
  void exitRule_data() {
    QTest::addColumn<std::function<void(MainDialog&)>>("request");
    QTest::addColumn<int>("result");
    auto enterIn = [](int id) {
      return std::function<void(MainDialog&)>([id](MainDialog& d) {
        d.EnableResultCommands();
        QWidget* w = d.Control(id);
        w->setFocus();
        QTest::keyClick(w, Qt::Key_Return);
      });
    };
    QTest::newRow("exit button") << std::function<void(MainDialog&)>([](MainDialog& d) {
      d.Control<QAbstractButton>(kExitButton)->click();
    }) << int(QDialog::Accepted);
    QTest::newRow("Enter in the source edit") << enterIn(kSourceEdit) << int(QDialog::Accepted);
    QTest::newRow("Enter in the function edit") << enterIn(kFunctionEdit) << int(QDialog::Accepted);
    QTest::newRow("Enter in the function list") << enterIn(kFunctionList) << int(QDialog::Accepted);
    QTest::newRow("Enter on a check box") << enterIn(kIncludeLocalsCheck) << int(QDialog::Accepted);
    QTest::newRow("Enter on the slider") << enterIn(kMemorySlider) << int(QDialog::Accepted);
    QTest::newRow("Esc") << std::function<void(MainDialog&)>([](MainDialog& d) {
      QTest::keyClick(&d, Qt::Key_Escape);
    }) << int(QDialog::Rejected);
    QTest::newRow("Esc in the variable list") << std::function<void(MainDialog&)>([](MainDialog& d) {
      d.EnableResultCommands();
      d.Control(kVariableList)->setFocus();
      QTest::keyClick(d.Control(kVariableList), Qt::Key_Escape);
    }) << int(QDialog::Rejected);
    QTest::newRow("close box") << std::function<void(MainDialog&)>([](MainDialog& d) { d.close(); })
                               << int(QDialog::Rejected);
  }
  void exitRule() {
    QFETCH(std::function<void(MainDialog&)>, request);
    QFETCH(int, result);
    MainDialog dialog;
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));

    auto client = std::make_unique<QObject>();
    dialog.SetAutomationProxy(client.get());
    request(dialog);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(finished.count(), 0);

    // The client lets go: the same request now ends the dialog.
    client.reset();
    QVERIFY(!dialog.HasAutomationProxy());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    request(dialog);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toInt(), result);
    QVERIFY(!dialog.isVisible());
  }

  // Enter on a focused button presses that button: here the analyse command,
  // whose check rejects the hint text still in the source edit.
  void enterPressesFocusedButton() {
    MainDialog dialog;
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    BoxAnswerer answerer;
    QWidget* analyse = dialog.Control(kAnalyseButton);
    analyse->setFocus();
    QTest::keyClick(analyse, Qt::Key_Return);
    QCOMPARE(answerer.Texts(), QStringList{"プロジェクトフォルダが見つかりません"});
    QCOMPARE(answerer.boxes.first().caption, QStringLiteral("終了"));
    QCOMPARE(finished.count(), 0);
    dialog.hide();
  }

  // The version item opens a busy box of its own: its clock starts from
  // zero each time, and "実行中断" sets the abort flag.
  void versionItemOpensBusyBox() {
    MainDialog dialog;
    QAction* about = dialog.findChild<QAction*>(QStringLiteral("aboutAction"));
    QVERIFY(about);
    QCOMPARE(about->text(), QStringLiteral("vandrel のﾊﾞｰｼﾞｮﾝ情報(&A)..."));
    QCOMPARE(dialog.contextMenuPolicy(), Qt::ActionsContextMenu);
    QVERIFY(dialog.actions().contains(about));

    for (int round = 0; round < 2; ++round) {
      g_busyTicks = 77;
      g_abortRequested = 0;
      QStringList seen;
      WhenReady(
          &dialog, [] { return qobject_cast<BusyDialog*>(QApplication::activeModalWidget()); },
          [&seen] {
            auto* box = qobject_cast<BusyDialog*>(QApplication::activeModalWidget());
            auto* clock = box->findChild<QLabel*>(QStringLiteral("clock"));
            seen << box->windowTitle() << clock->text();
            WhenReady(box, [clock] { return clock->text() != QStringLiteral("時刻"); }, [box, clock, &seen] {
              seen << clock->text();
              box->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
            });
          });
      about->trigger();
      QCOMPARE(seen, QStringList({"実行中", "時刻", "経過時間 00：00"}));
      QCOMPARE(g_abortRequested.load(), 1);
    }
  }

  // Several dropped items: only the first path is taken, file or folder.
  void dropTakesFirstPath_data() {
    QTest::addColumn<QStringList>("urls");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two files") << QStringList{"file:///tmp/a.c", "file:///tmp/b.c"} << "/tmp/a.c";
    QTest::newRow("folder with slash") << QStringList{"file:///tmp/src/"} << "/tmp/src";
    QTest::newRow("japanese name") << QStringList{"file:///tmp/%E8%A7%A3%E6%9E%90"} << "/tmp/解析";
    QTest::newRow("not a file") << QStringList{"https://example.com/x"} << QString();
  }
  void dropTakesFirstPath() {
    QFETCH(QStringList, urls);
    QFETCH(QString, expected);
    MainDialog dialog;
    for (int id : {kSourceEdit, kOutputEdit}) {
      auto* edit = dialog.Control<DropEdit>(id);
      QVERIFY(edit && edit->acceptDrops());
      const QString before = edit->text();
      Drop(edit, *UrlDrop(urls));
      QCOMPARE(edit->text(), expected.isEmpty() ? before : expected);
    }
  }

  // The analyse command's check then rejects a dropped file as source.
  void droppedFileIsNotADirectory() {
    QFile(QStringLiteral("a.c")).open(QIODevice::WriteOnly);
    MainDialog dialog;
    Drop(dialog.Control(kSourceEdit), *UrlDrop({QUrl::fromLocalFile(QDir::current().filePath("a.c")).toString()}));
    BoxAnswerer answerer;
    dialog.Control<QAbstractButton>(kAnalyseButton)->click();
    QCOMPARE(answerer.Texts(), QStringList{"ディレクトリを指定してください"});
  }

  // Both pickers are titled "フォルダを選択してください"; a cancelled one
  // leaves the edit as it was, hint text included.
  void folderPickers_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("edit");
    QTest::newRow("source") << int(kBrowseSourceButton) << int(kSourceEdit);
    QTest::newRow("output") << int(kBrowseOutputButton) << int(kOutputEdit);
  }
  void folderPickers() {
    QFETCH(int, button);
    QFETCH(int, edit);
    MainDialog dialog;
    QDir().mkdir(QStringLiteral("chosen"));
    const QString chosen = QDir::current().filePath(QStringLiteral("chosen"));
    const QString hint = dialog.Control<QLineEdit>(edit)->text();
    for (bool accept : {false, true}) {
      QString title;
      WhenReady(
          &dialog, [] { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()); },
          [&] {
            auto* picker = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            title = picker->windowTitle();
            QCOMPARE(picker->fileMode(), QFileDialog::Directory);
            if (!accept) return picker->reject();
            picker->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(chosen);
            static_cast<QDialog*>(picker)->accept();
          });
      dialog.Control<QAbstractButton>(button)->click();
      QCOMPARE(title, QStringLiteral("フォルダを選択してください"));
      QCOMPARE(dialog.Control<QLineEdit>(edit)->text(), accept ? chosen : hint);
    }
  }

  // Qt's own picker (the offscreen platform has no native one) reads in
  // Japanese and shows its columns whole: each is as wide as its header and
  // every cell of the folder's rows.
  void folderPickerInJapanese() {
    MainDialog dialog;
    QStringList buttons, labels, headers, types;
    bool columnsWhole = false;
    WhenReady(
        &dialog, [] { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()); },
        [&] {
          auto* picker = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
          for (QAbstractButton* b : picker->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->buttons())
            buttons << b->text();
          for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
            labels << picker->findChild<QLabel*>(QLatin1String(name))->text();
          auto* view = picker->findChild<QTreeView*>(QStringLiteral("treeView"));
          const QAbstractItemModel* model = view->model();
          for (int c = 0; c < model->columnCount(); ++c) headers << model->headerData(c, Qt::Horizontal).toString();
          columnsWhole = QTest::qWaitFor([&] {
            const int rows = model->rowCount(view->rootIndex());
            if (rows == 0) return false;
            for (int c = 1; c < model->columnCount(); ++c) {
              if (view->header()->sectionSizeHint(c) > view->columnWidth(c)) return false;
              for (int r = 0; r < rows; ++r)
                if (view->sizeHintForIndex(model->index(r, c, view->rootIndex())).width() > view->columnWidth(c))
                  return false;
            }
            return true;
          });
          for (int r = 0; r < model->rowCount(view->rootIndex()); ++r)
            types << model->index(r, 2, view->rootIndex()).data().toString();
          picker->grab().save(QStringLiteral(VANDREL_BUILD_DIR "/folder_picker.png"));
          picker->reject();
        });
    dialog.Control<QAbstractButton>(kBrowseSourceButton)->click();
    QCOMPARE(buttons, QStringList({"選択(&C)", "キャンセル"}));
    QCOMPARE(labels, QStringList({"アドレス:", "ディレクトリ:", "ファイルの種類:"}));
    QCOMPARE(headers, QStringList({"名前", "サイズ", "タイプ", "更新日"}));
    QVERIFY(!types.isEmpty());
    QCOMPARE(QSet<QString>(types.begin(), types.end()), QSet<QString>{"フォルダ"});
    QVERIFY(columnsWhole);
  }

  // The context menu of the folder edits and of the editable lists.
  void contextMenusInJapanese_data() {
    QTest::addColumn<int>("id");
    QTest::newRow("folder edit") << int(kSourceEdit);
    QTest::newRow("function edit") << int(kFunctionEdit);
    QTest::newRow("variable list") << int(kVariableList);
  }
  void contextMenusInJapanese() {
    QFETCH(int, id);
    MainDialog dialog;
    QWidget* control = dialog.Control(id);
    auto* combo = qobject_cast<QComboBox*>(control);
    QLineEdit* edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(control);
    std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
    QStringList items;
    for (QAction* a : menu->actions())
      if (!a->isSeparator()) items << a->text().section(u'\t', 0, 0);
    QCOMPARE(items, QStringList({"元に戻す(&U)", "やり直す(&R)", "切り取り(&T)", "コピー(&C)", "貼り付け(&P)", "削除",
                                 "すべてを選択"}));
  }

  // Names go in sorted (letters without case), lists keep what they hold
  // and the text of their edit.
  void choiceListsSorted() {
    MainDialog dialog;
    auto* list = dialog.Control<QComboBox>(kFunctionList);
    dialog.AddFunctionNames({"main", "Init", "_start", ToCp932("関数"), "abc"});
    dialog.AddFunctionNames({"main", "B"});
    QCOMPARE(vandrel::test::Items(list), QStringList({"abc", "B", "Init", "main", "main", "_start", "関数"}));
    QCOMPARE(list->currentText(), QStringLiteral("SELECT FUNCTION"));
    QCOMPARE(list->currentIndex(), -1);
    dialog.AddVariableNames({});
    QCOMPARE(dialog.Control<QComboBox>(kVariableList)->currentText(), QStringLiteral("SELECT RAM VALUE"));
  }

 private:
  QTemporaryDir config_;
  std::unique_ptr<TempCurrentDir> cwd_;
};

QTEST_MAIN(MainDialogTest)
#include "main_dialog_test.moc"
