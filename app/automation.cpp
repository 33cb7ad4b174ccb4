#include "app/automation.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "ui/main_dialog.h"

namespace vandrel {
namespace {

class FactoryAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "Vandrel.ClassFactory")
 public:
  FactoryAdaptor(QObject* object, AutomationServer* server)
      : QDBusAbstractAdaptor(object), server_(server) {}
 public slots:
  QDBusObjectPath CreateInstance(const QDBusMessage& message) { return server_->CreateInstance(message); }

 private:
  AutomationServer* server_;
};

// The object's own interface: nothing to call, it only keeps the program.
class ApplicationAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "Vandrel.Application")
  // Spelt out: an interface without members is otherwise left out of the introspection data.
  Q_CLASSINFO("D-Bus Introspection", "  <interface name=\"Vandrel.Application\">\n  </interface>\n")
 public:
  explicit ApplicationAdaptor(QObject* object) : QDBusAbstractAdaptor(object) {}
};

class UnknownAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "Vandrel.Unknown")
 public:
  UnknownAdaptor(QObject* object, AutomationServer* server)
      : QDBusAbstractAdaptor(object), server_(server) {}
 public slots:
  void Release(const QDBusMessage& message) { server_->Release(message); }

 private:
  AutomationServer* server_;
};

void ReplyError(const QDBusConnection& bus, const QDBusMessage& message, const QString& text) {
  message.setDelayedReply(true);
  bus.send(message.createErrorReply(QDBusError::AccessDenied, text));
}

// dbus reads Exec like a shell: inside double quotes \ escapes " \ $ and `.
QString QuoteForExec(const QString& text) {
  QString out = QStringLiteral("\"");
  for (QChar c : text) {
    if (c == u'"' || c == u'\\' || c == u'$' || c == u'`') out += u'\\';
    out += c;
  }
  return out + u'"';
}

}  // namespace

bool IsAutomationStart(const QStringList& arguments) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    if (a.size() < 2 || (a[0] != u'-' && a[0] != u'/')) continue;
    const QString flag = a.mid(1);
    if (flag.compare(QLatin1String("Embedding"), Qt::CaseInsensitive) == 0 ||
        flag.compare(QLatin1String("Automation"), Qt::CaseInsensitive) == 0)
      return true;
  }
  return false;
}

QString ServiceFilePath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
         QStringLiteral("/dbus-1/services/") + QLatin1String(kAutomationService) +
         QStringLiteral(".service");
}

QString ServiceFileText(const QString& program) {
  return QStringLiteral("[D-BUS Service]\nName=%1\nExec=%2 -Automation\n")
      .arg(QLatin1String(kAutomationService), QuoteForExec(program));
}

bool WriteServiceFile(const QString& program) {
  const QString path = ServiceFilePath();
  if (!QDir().mkpath(QFileInfo(path).path())) return false;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(ServiceFileText(program).toUtf8());
  return file.commit();
}

AutomationServer::AutomationServer(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), bus_(bus) {
  new FactoryAdaptor(this, this);
}

AutomationServer::~AutomationServer() {
  GiveUpName();
  if (instance_) bus_.unregisterObject(QLatin1String(kInstancePath));
}

bool AutomationServer::Register() {
  if (!bus_.isConnected() || !bus_.interface()) return false;
  if (!bus_.registerObject(QLatin1String(kFactoryPath), this, QDBusConnection::ExportAdaptors))
    return false;
  auto reply = bus_.interface()->registerService(QLatin1String(kAutomationService),
                                                 QDBusConnectionInterface::DontQueueService,
                                                 QDBusConnectionInterface::DontAllowReplacement);
  if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
    bus_.unregisterObject(QLatin1String(kFactoryPath));
    return false;
  }
  registered_ = true;
  return true;
}

void AutomationServer::GiveUpName() {
  if (!registered_) return;
  registered_ = false;
  bus_.unregisterObject(QLatin1String(kFactoryPath));
  bus_.interface()->unregisterService(QLatin1String(kAutomationService));
}

QDBusObjectPath AutomationServer::CreateInstance(const QDBusMessage& message) {
  // Single use: the first request is served, the next client starts a program of its own.
  if (used_) {
    ReplyError(bus_, message, QStringLiteral("this program serves one client only"));
    return {};
  }
  used_ = true;
  GiveUpName();
  auto* object = new QObject(this);
  new ApplicationAdaptor(object);
  new UnknownAdaptor(object, this);
  bus_.registerObject(QLatin1String(kInstancePath), object, QDBusConnection::ExportAdaptors);
  instance_ = object;
  holder_ = message.service();
  watcher_ = new QDBusServiceWatcher(holder_, bus_, QDBusServiceWatcher::WatchForUnregistration, this);
  connect(watcher_, &QDBusServiceWatcher::serviceUnregistered, this, &AutomationServer::ReleaseInstance);
  emit Attached(object);
  return QDBusObjectPath(QLatin1String(kInstancePath));
}

void AutomationServer::Release(const QDBusMessage& message) {
  if (message.service() != holder_) {
    ReplyError(bus_, message, QStringLiteral("the object is held by another client"));
    return;
  }
  ReleaseInstance();
}

void AutomationServer::ReleaseInstance() {
  if (!instance_) return;
  bus_.unregisterObject(QLatin1String(kInstancePath));
  instance_->deleteLater();
  instance_ = nullptr;
  holder_.clear();
  if (watcher_) watcher_->deleteLater();
  watcher_ = nullptr;
  emit Released();
}

std::unique_ptr<AutomationServer> StartAutomation(const QStringList& arguments, ui::MainDialog& dialog,
                                                  std::function<void()> endProgram) {
  if (IsAutomationStart(arguments)) {
    // Only an automation start touches the bus.
    auto server = std::make_unique<AutomationServer>(QDBusConnection::sessionBus());
    if (server->Register()) {
      QObject::connect(server.get(), &AutomationServer::Attached, &dialog, &ui::MainDialog::SetAutomationProxy);
      QObject::connect(server.get(), &AutomationServer::Released, &dialog, [&dialog, endProgram] {
        dialog.SetAutomationProxy(nullptr);
        endProgram();
      });
      return server;
    }
  }
  WriteServiceFile(QCoreApplication::applicationFilePath());
  return nullptr;
}

}  // namespace vandrel

#include "automation.moc"
