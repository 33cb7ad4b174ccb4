#include "ui/folder_picker.h"

#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHeaderView>
#include <QListView>
#include <QScreen>
#include <QTreeView>
#include <algorithm>

namespace vandrel::ui {
namespace {

// Qt's own picker opens too narrow for its date column and its places
// ("コンピュータ"): the columns after the name take the width of their
// contents, the name the rest, the places list the width of its longest
// entry. The window opens in the middle of the screen's available area, as
// wide as 120 Latin characters (a CJK font's average character is a wide
// one, twice that) and at most 80 % of the area each way. A native picker
// has no such views.
void FitToScreen(QFileDialog& picker, QScreen* screen) {
  auto* view = picker.findChild<QTreeView*>(QStringLiteral("treeView"));
  if (!view) return;
  QHeaderView* header = view->header();
  header->setStretchLastSection(false);
  header->setSectionResizeMode(QHeaderView::ResizeToContents);
  header->setSectionResizeMode(0, QHeaderView::Stretch);
  const QFontMetrics fm(picker.font());
  const int latin = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52;
  if (auto* places = picker.findChild<QListView*>(QStringLiteral("sidebar"))) {
    int widest = 0;
    for (int row = 0; row < places->model()->rowCount(); ++row)
      widest = std::max(widest, places->sizeHintForIndex(places->model()->index(row, 0)).width());
    places->setMinimumWidth(widest + 2 * places->frameWidth() + 2 * latin);
  }
  QSize size(std::max(picker.width(), latin * 120), std::max(picker.height(), fm.height() * 28));
  if (!screen) return picker.resize(size);
  const QRect area = screen->availableGeometry();
  size = size.boundedTo(area.size() * 8 / 10).expandedTo(picker.minimumSizeHint()).boundedTo(area.size());
  picker.resize(size);
  picker.move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

}  // namespace

QString ChooseFolder(const QString& title, const QString& start, QScreen* screen) {
  QFileDialog picker(nullptr, title, start);
  picker.setObjectName(QStringLiteral("folderPicker"));
  picker.setFileMode(QFileDialog::Directory);
  picker.setOption(QFileDialog::ShowDirsOnly);
  FitToScreen(picker, screen);
  if (picker.exec() != QDialog::Accepted || picker.selectedFiles().isEmpty()) return QString();
  return QDir::cleanPath(picker.selectedFiles().first());
}

}  // namespace vandrel::ui
