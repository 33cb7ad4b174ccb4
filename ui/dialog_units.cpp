#include "ui/dialog_units.h"

#include "ui/ui_texts.h"

namespace vandrel::ui {

QFont DialogFont() {
  QFont font(kDialogFontFamily, kDialogFontPoints);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

}  // namespace vandrel::ui
