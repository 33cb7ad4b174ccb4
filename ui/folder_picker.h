// The folder picker of the two browse buttons.
#pragma once

#include <QString>

class QScreen;

namespace vandrel::ui {

// Shows the picker modally from `start`: the desktop's own where the platform
// offers one, Qt's own otherwise, which opens inside the available area of
// `screen` (the dialog's), wide enough to show its columns whole. Returns the
// chosen folder, or an empty string when cancelled.
QString ChooseFolder(const QString& title, const QString& start, QScreen* screen);

}  // namespace vandrel::ui
