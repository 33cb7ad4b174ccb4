// The program's icons, drawn in code. The numbers are those of the icon
// resources they stand for.
#pragma once

#include <QIcon>
#include <QImage>

namespace vandrel::ui {

enum class IconId {
  Analyse = 128,       // the analyse button and the program's own icon
  Busy = 133,          // the busy box
  DesignDoc = 136,     // the design-document button
  Variable = 138,      // the variable-analysis button
  Folder = 151,        // the two folder pickers
  FunctionTree = 157,  // the call-tree button
};

QIcon MakeIcon(IconId id);
// One size of an icon (size x size pixels); needs no application object.
QImage RenderIcon(IconId id, int size);

}  // namespace vandrel::ui
