// The automation object "Vandrel.Application" on the D-Bus session bus.
//
//   bus name  Vandrel.Application (taken by a start with -Automation or
//             -Embedding, also written with "/"; given up after one client)
//   /Vandrel/Application           Vandrel.ClassFactory  CreateInstance() -> o
//   /Vandrel/Application/Instance  Vandrel.Application   no methods, no properties
//                                  Vandrel.Unknown       Release()
//
// A client calls CreateInstance and holds the object until it calls Release
// or leaves the bus. A plain start writes the service file that lets such a
// request start the program with -Automation.
#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

class QDBusMessage;
class QDBusServiceWatcher;

namespace vandrel {
namespace ui {
class MainDialog;
}

inline constexpr char kAutomationService[] = "Vandrel.Application";
inline constexpr char kFactoryPath[] = "/Vandrel/Application";
inline constexpr char kFactoryInterface[] = "Vandrel.ClassFactory";
inline constexpr char kInstancePath[] = "/Vandrel/Application/Instance";
inline constexpr char kInstanceInterface[] = "Vandrel.Application";
inline constexpr char kUnknownInterface[] = "Vandrel.Unknown";

// True when the command line holds an automation switch: "Embedding" or
// "Automation" after "-" or "/", in any case. The first argument is the program.
bool IsAutomationStart(const QStringList& arguments);

// The session bus's service file for the name, below the user's data folder
// ($XDG_DATA_HOME/dbus-1/services).
QString ServiceFilePath();
// The file's text: the name, and the program started with -Automation.
QString ServiceFileText(const QString& program);
// (Re)writes the service file; false when it could not be written.
bool WriteServiceFile(const QString& program);

// The class object: serves one CreateInstance, then gives the name up.
class AutomationServer : public QObject {
  Q_OBJECT
 public:
  explicit AutomationServer(const QDBusConnection& bus, QObject* parent = nullptr);
  ~AutomationServer() override;

  // Registers the class object and takes the bus name; false (and nothing
  // registered) when there is no bus or the name is taken.
  bool Register();
  QObject* instance() const { return instance_; }

  // Bus calls (through the adaptors).
  QDBusObjectPath CreateInstance(const QDBusMessage& message);
  void Release(const QDBusMessage& message);

 signals:
  void Attached(QObject* instance);  // a client holds the object
  void Released();                   // the client let it go, or left the bus

 private:
  void ReleaseInstance();
  void GiveUpName();

  QDBusConnection bus_;
  bool registered_ = false;
  bool used_ = false;
  QPointer<QObject> instance_;
  QString holder_;  // the unique bus name of the client
  QDBusServiceWatcher* watcher_ = nullptr;
};

// The start-up: a start with an automation switch takes the bus name and
// ties the dialog to the client (closing hides the window while the client
// holds the object; endProgram runs when it lets go). Any other start, and
// one that finds no session bus or the name taken, is a plain start: it
// writes the service file and returns null.
std::unique_ptr<AutomationServer> StartAutomation(const QStringList& arguments, ui::MainDialog& dialog,
                                                  std::function<void()> endProgram);

}  // namespace vandrel
