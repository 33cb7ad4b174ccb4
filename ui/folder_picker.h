// The folder picker of the two browse buttons.
#pragma once

#include <QString>

namespace vandrel::ui {

// Shows the picker modally from `start`: the desktop's own where the platform
// offers one, Qt's own otherwise, opened wide enough to show its columns
// whole. Returns the chosen folder, or an empty string when cancelled.
QString ChooseFolder(const QString& title, const QString& start);

}  // namespace vandrel::ui
