// The folder picker on the screen it opens on: ctest runs this file once for
// each screen size and locale (the offscreen platform given the screen).
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>

#include "ui/main_dialog.h"
#include "ui/translations.h"
#include "ui_test_support.h"

using namespace vandrel;
using namespace vandrel::ui;
using vandrel::test::TempCurrentDir;
using vandrel::test::WhenReady;

namespace {

// The screen with the dialog and the picker on it, for a look by eye.
QImage ScreenPicture(const QScreen& screen, const QList<QWidget*>& windows) {
  QImage image(screen.geometry().size(), QImage::Format_RGB32);
  image.fill(QColor(40, 60, 90));
  QPainter painter(&image);
  for (QWidget* w : windows) {
    const QRect frame = w->frameGeometry().translated(-screen.geometry().topLeft());
    painter.fillRect(frame, QColor(200, 200, 200));
    painter.drawPixmap(w->geometry().topLeft() - screen.geometry().topLeft(), w->grab());
  }
  return image;
}

}  // namespace

class FolderPickerTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(config_.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
    QVERIFY(InstallJapaneseTranslations());
  }

  // Inside the screen's available area, at most 80 % of its width and
  // height, with every column whole (the name takes what is left, without a
  // scroll bar) and both buttons on the screen. Under a Japanese locale the
  // picker's font is the wide CJK one.
  void pickerFitsTheScreen() {
    TempCurrentDir cwd;
    for (const char* name : {"a", "b", "c"}) QVERIFY(QDir().mkdir(QLatin1String(name)));
    MainDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QScreen* screen = dialog.screen();
    const QRect area = screen->availableGeometry();
    const QString where = QStringLiteral("%1x%2, LANG=%3")
                              .arg(area.width())
                              .arg(area.height())
                              .arg(QString::fromLocal8Bit(qgetenv("LANG")));
    QRect frame, client;
    QFont font;
    QList<QRect> buttons;
    QStringList buttonTexts;
    int columnsWidth = 0, viewportWidth = 0;
    bool columnsWhole = false, picture = false;
    WhenReady(
        &dialog, [] { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()); },
        [&] {
          auto* picker = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
          picker->setDirectory(QDir::currentPath());
          auto* view = picker->findChild<QTreeView*>(QStringLiteral("treeView"));
          const QAbstractItemModel* model = view->model();
          columnsWhole = QTest::qWaitFor([&] {
            const int rows = model->rowCount(view->rootIndex());
            if (rows < 3) return false;
            for (int c = 0; c < model->columnCount(); ++c) {
              if (view->header()->sectionSizeHint(c) > view->columnWidth(c)) return false;
              for (int r = 0; r < rows; ++r)
                if (view->sizeHintForIndex(model->index(r, c, view->rootIndex())).width() > view->columnWidth(c))
                  return false;
            }
            return true;
          });
          columnsWidth = view->header()->length();
          viewportWidth = view->viewport()->width();
          frame = picker->frameGeometry();
          client = picker->geometry();
          font = picker->font();
          for (QAbstractButton* b : picker->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->buttons()) {
            buttonTexts << b->text();
            buttons << QRect(b->mapToGlobal(QPoint(0, 0)), b->size());
          }
          const QString file = QStringLiteral(VANDREL_BUILD_DIR "/folder_picker_%1x%2_%3.png")
                                   .arg(area.width())
                                   .arg(area.height())
                                   .arg(QString::fromLocal8Bit(qgetenv("LANG")).section(u'_', 0, 0).section(u'.', 0, 0));
          picture = ScreenPicture(*screen, {&dialog, picker}).save(file);
          picker->reject();
        });
    dialog.Control<QAbstractButton>(kBrowseSourceButton)->click();

    QVERIFY2(area.contains(frame), qPrintable(where));
    QVERIFY2(client.width() <= area.width() * 8 / 10, qPrintable(where + QStringLiteral(": %1").arg(client.width())));
    QVERIFY2(client.height() <= area.height() * 8 / 10, qPrintable(where + QStringLiteral(": %1").arg(client.height())));
    QVERIFY2(columnsWhole, qPrintable(where));
    QVERIFY2(columnsWidth <= viewportWidth, qPrintable(where + QStringLiteral(": %1 > %2").arg(columnsWidth).arg(viewportWidth)));
    QCOMPARE(buttonTexts, QStringList({"選択(&C)", "キャンセル"}));
    for (const QRect& b : buttons) QVERIFY2(area.contains(b), qPrintable(where));
    if (qgetenv("LANG").startsWith("ja")) QCOMPARE(QFontInfo(font).family(), QStringLiteral("Noto Sans CJK JP"));
    QVERIFY(picture);
  }

 private:
  QTemporaryDir config_;
};

QTEST_MAIN(FolderPickerTest)
#include "folder_picker_test.moc"
