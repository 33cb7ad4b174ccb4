// vandrel: the desktop program. Takes only the automation switches.
#include <QApplication>

#include "app/automation.h"
#include "ui/icons.h"
#include "ui/main_dialog.h"

using namespace vandrel;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // The program ends when the dialog finishes, not when its window hides.
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setWindowIcon(ui::MakeIcon(ui::IconId::Analyse));

  ui::MainDialog dialog;
  QObject::connect(&dialog, &QDialog::finished, &app, &QCoreApplication::quit);

  // Only an automation start touches the bus; without one it is a plain start.
  std::unique_ptr<AutomationServer> server;
  if (IsAutomationStart(QApplication::arguments())) {
    server = std::make_unique<AutomationServer>(QDBusConnection::sessionBus());
    if (server->Register()) {
      QObject::connect(server.get(), &AutomationServer::Attached, &dialog,
                       &ui::MainDialog::SetAutomationProxy);
      QObject::connect(server.get(), &AutomationServer::Released, &app, [&dialog] {
        dialog.SetAutomationProxy(nullptr);
        QCoreApplication::quit();
      });
    } else {
      server.reset();
    }
  }
  if (!server) WriteServiceFile(QApplication::applicationFilePath());

  dialog.show();
  QApplication::exec();
  dialog.StopWorkerForExit();
  return 0;
}
