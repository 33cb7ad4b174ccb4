// A folder edit that takes dropped files: the first dropped path becomes its
// text, further ones are ignored.
#pragma once

#include <QLineEdit>

class QMimeData;

namespace vandrel::ui {

class DropEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit DropEdit(QWidget* parent = nullptr);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

// The path of the first local file of a drop ("" when it holds none), without
// a trailing separator, as the desktop hands dropped paths over.
QString FirstDroppedPath(const QMimeData& data);

}  // namespace vandrel::ui
