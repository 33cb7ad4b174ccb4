// A push button with an icon above its text (one or more lines), the two
// centred together.
#pragma once

#include <QToolButton>

namespace vandrel::ui {

class IconButton : public QToolButton {
  Q_OBJECT
 public:
  explicit IconButton(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace vandrel::ui
