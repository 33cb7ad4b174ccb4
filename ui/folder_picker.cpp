#include "ui/folder_picker.h"

#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHeaderView>
#include <QListView>
#include <QTreeView>
#include <algorithm>

namespace vandrel::ui {
namespace {

// Qt's own picker opens too narrow for its date column and its places
// ("コンピュータ"): the columns after the name take the width of their
// contents, the name the rest, the places list the width of its longest
// entry, and the window grows to hold them. A native picker has no such views.
void ShowColumnsWhole(QFileDialog& picker) {
  auto* view = picker.findChild<QTreeView*>(QStringLiteral("treeView"));
  if (!view) return;
  QHeaderView* header = view->header();
  header->setStretchLastSection(false);
  header->setSectionResizeMode(QHeaderView::ResizeToContents);
  header->setSectionResizeMode(0, QHeaderView::Stretch);
  const QFontMetrics fm(picker.font());
  if (auto* places = picker.findChild<QListView*>(QStringLiteral("sidebar"))) {
    int widest = 0;
    for (int row = 0; row < places->model()->rowCount(); ++row)
      widest = std::max(widest, places->sizeHintForIndex(places->model()->index(row, 0)).width());
    places->setMinimumWidth(widest + 2 * places->frameWidth() + 2 * fm.averageCharWidth());
  }
  picker.resize(std::max(picker.width(), fm.averageCharWidth() * 120),
                std::max(picker.height(), fm.height() * 28));
}

}  // namespace

QString ChooseFolder(const QString& title, const QString& start) {
  QFileDialog picker(nullptr, title, start);
  picker.setObjectName(QStringLiteral("folderPicker"));
  picker.setFileMode(QFileDialog::Directory);
  picker.setOption(QFileDialog::ShowDirsOnly);
  ShowColumnsWhole(picker);
  if (picker.exec() != QDialog::Accepted || picker.selectedFiles().isEmpty()) return QString();
  return QDir::cleanPath(picker.selectedFiles().first());
}

}  // namespace vandrel::ui
