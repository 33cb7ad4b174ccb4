// Start-up and the automation object on the D-Bus session bus: the
// switches, the service file, the exit rule while a client holds the object,
// and a round trip in which a client's request starts the program.
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QSignalSpy>
#include <memory>
#include <optional>

#include "app/automation.h"
#include "ui/main_dialog.h"
#include "ui_test_support.h"

using namespace vandrel;
using namespace vandrel::ui;
using vandrel::test::TempCurrentDir;

namespace {

const QString kService = QLatin1String(kAutomationService);

QDBusMessage CreateInstanceCall(const QString& service = kService) {
  return QDBusMessage::createMethodCall(service, QLatin1String(kFactoryPath),
                                        QLatin1String(kFactoryInterface), QStringLiteral("CreateInstance"));
}

QDBusMessage ReleaseCall(const QString& service) {
  return QDBusMessage::createMethodCall(service, QLatin1String(kInstancePath),
                                        QLatin1String(kUnknownInterface), QStringLiteral("Release"));
}

bool Registered(const QDBusConnection& bus, const QString& name) {
  return bus.interface()->isServiceRegistered(name).value();
}

QProcessEnvironment QuietEnvironment(const QString& dataHome) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dataHome);
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  return env;
}

// A client of its own on the session bus.
class Client {
 public:
  explicit Client(const QString& name)
      : name_(name), bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name)) {}
  ~Client() { Leave(); }
  QDBusMessage Call(const QDBusMessage& m) { return bus_->call(m, QDBus::BlockWithGui, 20000); }
  // Closes the connection (the last reference must go first).
  void Leave() {
    if (!bus_) return;
    bus_.reset();
    QDBusConnection::disconnectFromBus(name_);
  }

 private:
  QString name_;
  std::optional<QDBusConnection> bus_;
};

}  // namespace

class AutomationTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { cwd_ = std::make_unique<TempCurrentDir>(); }
  void cleanup() { cwd_.reset(); }

  void switches_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("automation");
    QTest::newRow("none") << QStringList{"vandrel"} << false;
    QTest::newRow("-Automation") << QStringList{"vandrel", "-Automation"} << true;
    QTest::newRow("/Automation") << QStringList{"vandrel", "/Automation"} << true;
    QTest::newRow("-Embedding") << QStringList{"vandrel", "-Embedding"} << true;
    QTest::newRow("/embedding") << QStringList{"vandrel", "/embedding"} << true;
    QTest::newRow("after another") << QStringList{"vandrel", "x.c", "-AUTOMATION"} << true;
    QTest::newRow("no prefix") << QStringList{"vandrel", "Automation"} << false;
    QTest::newRow("double dash") << QStringList{"vandrel", "--Automation"} << false;
    QTest::newRow("longer word") << QStringList{"vandrel", "-Automations"} << false;
    QTest::newRow("program name only") << QStringList{"-Automation"} << false;
  }
  void switches() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, automation);
    QCOMPARE(IsAutomationStart(arguments), automation);
  }

  // The service file names the program, quoted as dbus reads Exec lines.
  void serviceFile_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("exec");
    QTest::newRow("plain") << "/usr/bin/vandrel" << "Exec=\"/usr/bin/vandrel\" -Automation";
    QTest::newRow("blank") << "/opt/my tools/vandrel" << "Exec=\"/opt/my tools/vandrel\" -Automation";
    QTest::newRow("specials") << "/a\"b$c`d\\e/vandrel" << "Exec=\"/a\\\"b\\$c\\`d\\\\e/vandrel\" -Automation";
  }
  void serviceFile() {
    QFETCH(QString, program);
    QFETCH(QString, exec);
    QCOMPARE(ServiceFileText(program),
             QStringLiteral("[D-BUS Service]\nName=Vandrel.Application\n") + exec + u'\n');
    qputenv("XDG_DATA_HOME", cwd_->path().toUtf8());
    QCOMPARE(ServiceFilePath(), cwd_->File(QStringLiteral("dbus-1/services/Vandrel.Application.service")));
    QVERIFY(WriteServiceFile(program));
    QFile file(ServiceFilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), ServiceFileText(program));
  }

  // A plain start writes the service file and shows the dialog; so does an
  // automation start that finds no session bus, without a word about it.
  void startWithoutBus_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("plain") << QStringList{};
    QTest::newRow("-Automation") << QStringList{"-Automation"};
    QTest::newRow("/Embedding") << QStringList{"/Embedding"};
  }
  void startWithoutBus() {
    QFETCH(QStringList, arguments);
    QProcessEnvironment env = QuietEnvironment(cwd_->path());
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=") + cwd_->File("no-bus"));
    env.remove(QStringLiteral("DISPLAY"));
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(VANDREL_GUI_EXE), arguments);
    QVERIFY(program.waitForStarted());
    const QString file = cwd_->File(QStringLiteral("dbus-1/services/Vandrel.Application.service"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(file), 10000);
    QTest::qWait(200);
    QCOMPARE(program.state(), QProcess::Running);  // the dialog is up
    program.kill();
    program.waitForFinished();
    const QString errors = QString::fromUtf8(program.readAllStandardError());
    QVERIFY2(!errors.contains(QStringLiteral("bus"), Qt::CaseInsensitive), qPrintable(errors));
  }

  // An automation start on a bus: the name is taken, one client is served
  // and the name given up; while the client holds the object every exit
  // request hides the window; its release ends the program.
  void exitRuleWithClient() {
    VANDREL_RUN_ON_PRIVATE_BUS();
    QDBusConnection bus = QDBusConnection::sessionBus();
    MainDialog dialog;
    QSignalSpy finished(&dialog, &QDialog::finished);
    bool ended = false;
    auto server = StartAutomation({"vandrel", "-Automation"}, dialog, [&ended] { ended = true; });
    QVERIFY(server);
    QCOMPARE(bus.interface()->serviceOwner(kService).value(), bus.baseService());
    QVERIFY(!QFile::exists(ServiceFilePath()));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    Client client(QStringLiteral("client"));
    QDBusMessage reply = client.Call(CreateInstanceCall());
    QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
    QCOMPARE(qvariant_cast<QDBusObjectPath>(reply.arguments().value(0)).path(), QLatin1String(kInstancePath));
    QVERIFY(dialog.HasAutomationProxy());
    QTRY_VERIFY(!Registered(bus, kService));  // single use
    QCOMPARE(client.Call(CreateInstanceCall(bus.baseService())).type(), QDBusMessage::ErrorMessage);

    // The object's own interface is there, empty.
    QDBusMessage introspect = client.Call(QDBusMessage::createMethodCall(
        bus.baseService(), QLatin1String(kInstancePath), QStringLiteral("org.freedesktop.DBus.Introspectable"),
        QStringLiteral("Introspect")));
    QVERIFY2(introspect.arguments().value(0).toString().contains(QStringLiteral("<interface name=\"Vandrel.Application\"")),
             qPrintable(introspect.arguments().value(0).toString()));

    // Someone else cannot release it.
    Client other(QStringLiteral("other"));
    QCOMPARE(other.Call(ReleaseCall(bus.baseService())).type(), QDBusMessage::ErrorMessage);
    QVERIFY(dialog.HasAutomationProxy());

    dialog.Control<QAbstractButton>(kExitButton)->click();
    QVERIFY(!dialog.isVisible());
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    dialog.show();
    dialog.close();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(finished.count(), 0);
    QVERIFY(!ended);

    QCOMPARE(client.Call(ReleaseCall(bus.baseService())).type(), QDBusMessage::ReplyMessage);
    QTRY_VERIFY(ended);
    QVERIFY(!dialog.HasAutomationProxy());
    dialog.show();
    dialog.Control<QAbstractButton>(kExitButton)->click();
    QCOMPARE(finished.count(), 1);
  }

  // A client that leaves the bus lets go of the object as well.
  void clientLeavesTheBus() {
    VANDREL_RUN_ON_PRIVATE_BUS();
    MainDialog dialog;
    bool ended = false;
    auto server = StartAutomation({"vandrel", "/Embedding"}, dialog, [&ended] { ended = true; });
    QVERIFY(server);
    Client client(QStringLiteral("client"));
    QCOMPARE(client.Call(CreateInstanceCall()).type(), QDBusMessage::ReplyMessage);
    QVERIFY(dialog.HasAutomationProxy());
    client.Leave();
    QTRY_VERIFY(ended);
    QVERIFY(!dialog.HasAutomationProxy());
  }

  // A plain start on a bus takes no name and writes the service file.
  void plainStartOnABus() {
    VANDREL_RUN_ON_PRIVATE_BUS();
    MainDialog dialog;
    auto server = StartAutomation({"vandrel"}, dialog, [] {});
    QVERIFY(!server);
    QVERIFY(!Registered(QDBusConnection::sessionBus(), kService));
    QVERIFY(QFile::exists(ServiceFilePath()));
  }

  // The whole way: a plain start writes the service file; a client's
  // request then starts the program with -Automation, which serves it and
  // gives the name up, so the next client's request starts another one;
  // each ends when its client lets go.
  void roundTrip() {
    VANDREL_RUN_ON_PRIVATE_BUS();
    {
      QProcess plain;
      plain.setProcessEnvironment(QuietEnvironment(qEnvironmentVariable("XDG_DATA_HOME")));
      plain.start(QStringLiteral(VANDREL_GUI_EXE), QStringList{});
      QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ServiceFilePath()), 10000);
      plain.kill();
      plain.waitForFinished();
    }
    QFile file(ServiceFilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(file.readAll()).contains(QStringLiteral("Exec=\"" VANDREL_GUI_EXE "\" -Automation")));
    QDBusConnection bus = QDBusConnection::sessionBus();
    QCOMPARE(bus.interface()->call(QStringLiteral("ReloadConfig")).type(), QDBusMessage::ReplyMessage);

    Client first(QStringLiteral("first")), second(QStringLiteral("second"));
    QDBusMessage one = first.Call(CreateInstanceCall());
    QVERIFY2(one.type() == QDBusMessage::ReplyMessage, qPrintable(one.errorMessage()));
    QCOMPARE(qvariant_cast<QDBusObjectPath>(one.arguments().value(0)).path(), QLatin1String(kInstancePath));
    const QString server1 = one.service();
    QTRY_VERIFY(!Registered(bus, kService));

    QDBusMessage two = second.Call(CreateInstanceCall());
    QVERIFY2(two.type() == QDBusMessage::ReplyMessage, qPrintable(two.errorMessage()));
    const QString server2 = two.service();
    QVERIFY(server1 != server2);
    QVERIFY(Registered(bus, server1) && Registered(bus, server2));

    QCOMPARE(first.Call(ReleaseCall(server1)).type(), QDBusMessage::ReplyMessage);
    QTRY_VERIFY_WITH_TIMEOUT(!Registered(bus, server1), 10000);
    QVERIFY(Registered(bus, server2));
    second.Leave();
    QTRY_VERIFY_WITH_TIMEOUT(!Registered(bus, server2), 10000);
  }

 private:
  std::unique_ptr<TempCurrentDir> cwd_;
};

QTEST_MAIN(AutomationTest)
#include "automation_test.moc"
