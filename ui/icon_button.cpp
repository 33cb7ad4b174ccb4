#include "ui/icon_button.h"

#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace vandrel::ui {

IconButton::IconButton(QWidget* parent) : QToolButton(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
}

void IconButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionToolButton option;
  initStyleOption(&option);
  const QString label = option.text;
  option.text.clear();
  option.icon = QIcon();
  painter.drawComplexControl(QStyle::CC_ToolButton, option);

  const QRect area = rect().adjusted(3, 3, -3, -3);
  const QSize iconSize = this->iconSize();
  const QRect textRect = fontMetrics().boundingRect(area, Qt::AlignHCenter, label);
  const int gap = label.isEmpty() ? 0 : 4;
  const int height = iconSize.height() + gap + (label.isEmpty() ? 0 : textRect.height());
  const int top = area.top() + (area.height() - height) / 2;
  icon().paint(&painter,
               QRect(area.left() + (area.width() - iconSize.width()) / 2, top, iconSize.width(),
                     iconSize.height()),
               Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
  painter.drawItemText(QRect(area.left(), top + iconSize.height() + gap, area.width(), textRect.height()),
                       Qt::AlignHCenter | Qt::AlignTop, palette(), isEnabled(), label,
                       QPalette::ButtonText);
}

}  // namespace vandrel::ui
