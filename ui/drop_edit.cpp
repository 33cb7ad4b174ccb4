#include "ui/drop_edit.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace vandrel::ui {

QString FirstDroppedPath(const QMimeData& data) {
  if (!data.hasUrls()) return QString();
  const QList<QUrl> urls = data.urls();
  if (urls.isEmpty() || !urls.first().isLocalFile()) return QString();
  return QDir::cleanPath(urls.first().toLocalFile());
}

DropEdit::DropEdit(QWidget* parent) : QLineEdit(parent) { setAcceptDrops(true); }

void DropEdit::dragEnterEvent(QDragEnterEvent* event) {
  if (!FirstDroppedPath(*event->mimeData()).isEmpty())
    event->acceptProposedAction();
  else
    QLineEdit::dragEnterEvent(event);
}

void DropEdit::dragMoveEvent(QDragMoveEvent* event) {
  if (!FirstDroppedPath(*event->mimeData()).isEmpty())
    event->acceptProposedAction();
  else
    QLineEdit::dragMoveEvent(event);
}

void DropEdit::dropEvent(QDropEvent* event) {
  const QString path = FirstDroppedPath(*event->mimeData());
  if (path.isEmpty()) return QLineEdit::dropEvent(event);
  setText(path);
  event->acceptProposedAction();
}

}  // namespace vandrel::ui
