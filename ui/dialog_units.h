// Dialog units: the layout grid of the dialogs, scaled to their font as a
// dialog manager does (a horizontal unit is a quarter of the average
// character width, a vertical unit an eighth of the character height).
//
// The layout was drawn for a Japanese font whose full-width characters are
// under 6 horizontal units wide; the unit grows where a font's full-width
// characters are wider than that, so that the labels keep fitting.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <QWidget>
#include <algorithm>

namespace vandrel::ui {

class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font) {
    QFontMetrics fm(font);
    const int latin = (fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                           "abcdefghijklmnopqrstuvwxyz")) / 26 + 1) / 2;
    const int fullWidth = (fm.horizontalAdvance(QStringLiteral("解析プログラム")) * 4 + 41) / 42;
    baseX_ = std::max(latin, fullWidth);
    baseY_ = fm.height();
  }

  int X(int units) const { return (units * baseX_ + 2) / 4; }
  int Y(int units) const { return (units * baseY_ + 4) / 8; }
  QRect Rect(int x, int y, int w, int h) const { return QRect(X(x), Y(y), X(w), Y(h)); }
  QSize Size(int w, int h) const { return QSize(X(w), Y(h)); }

  // Puts a control at its place in dialog units.
  void Place(QWidget* w, int x, int y, int width, int height) const {
    w->setGeometry(Rect(x, y, width, height));
  }

 private:
  int baseX_ = 0;
  int baseY_ = 0;
};

// The font of every dialog of the program.
QFont DialogFont();

}  // namespace vandrel::ui
