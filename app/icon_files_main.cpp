// vandrel-icon-files DIR SIZE...: writes the program's icon, as the dialog
// draws it, into DIR/hicolor/SIZExSIZE/apps/vandrel.png for each size (a
// build step: the icon theme's files that the desktop entry names).
#include <QDir>
#include <QString>
#include <cstdio>

#include "ui/icons.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: vandrel-icon-files DIR SIZE...\n");
    return 2;
  }
  const QString dir = QString::fromLocal8Bit(argv[1]);
  for (int i = 2; i < argc; ++i) {
    const int size = QString::fromLatin1(argv[i]).toInt();
    const QString folder = QStringLiteral("%1/hicolor/%2x%2/apps").arg(dir).arg(size);
    if (size <= 0 || !QDir().mkpath(folder) ||
        !vandrel::ui::RenderIcon(vandrel::ui::IconId::Analyse, size).save(folder + QStringLiteral("/vandrel.png"))) {
      std::fprintf(stderr, "vandrel-icon-files: cannot write the %s px icon into %s\n", argv[i], argv[1]);
      return 1;
    }
  }
  return 0;
}
