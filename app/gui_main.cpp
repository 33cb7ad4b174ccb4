// vandrel: the desktop program. Takes only the automation switches.
#include <QApplication>

#include "app/automation.h"
#include "ui/icons.h"
#include "ui/main_dialog.h"
#include "ui/translations.h"

using namespace vandrel;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ui::InstallJapaneseTranslations();
  // The program ends when the dialog finishes, not when its window hides.
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setWindowIcon(ui::MakeIcon(ui::IconId::Analyse));

  ui::MainDialog dialog;
  QObject::connect(&dialog, &QDialog::finished, &app, &QCoreApplication::quit);
  auto server = StartAutomation(QApplication::arguments(), dialog, [] { QCoreApplication::quit(); });

  dialog.show();
  QApplication::exec();
  dialog.StopWorkerForExit();
  return 0;
}
