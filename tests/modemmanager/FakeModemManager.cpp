// A stand-in for ModemManager on a private bus: one modem with the given ports, answering
// GetManagedObjects and InhibitDevice, and writing each InhibitDevice call to a log file.
//   fake-modemmanager ADDRESS LOG MANUFACTURER MODEL DEVICE PORT...
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QFile>
#include <QMap>
#include <cstdio>

struct PortEntry {
    QString name;
    uint type = 0;
};
Q_DECLARE_METATYPE(PortEntry)

QDBusArgument& operator<<(QDBusArgument& argument, const PortEntry& port) {
    argument.beginStructure();
    argument << port.name << port.type;
    argument.endStructure();
    return argument;
}
const QDBusArgument& operator>>(const QDBusArgument& argument, PortEntry& port) {
    argument.beginStructure();
    argument >> port.name >> port.type;
    argument.endStructure();
    return argument;
}

using Interfaces = QMap<QString, QVariantMap>;
using ManagedObjects = QMap<QDBusObjectPath, Interfaces>;

namespace {

constexpr uint kPortTypeAt = 3;

class FakeManager : public QDBusVirtualObject {
public:
    FakeManager(QStringList arguments) : args(std::move(arguments)) {}

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.member() == QLatin1String("GetManagedObjects")) {
            connection.send(message.createReply(QVariant::fromValue(Objects())));
            return true;
        }
        if (message.member() == QLatin1String("InhibitDevice") && message.arguments().size() == 2) {
            QFile log(args[1]);
            if (log.open(QIODevice::Append | QIODevice::Text))
                log.write(QStringLiteral("InhibitDevice %1 %2\n")
                              .arg(message.arguments()[0].toString(),
                                   message.arguments()[1].toBool() ? "true" : "false")
                              .toUtf8());
            log.close(); // written before the caller hears back
            connection.send(message.createReply());
            return true;
        }
        connection.send(message.createErrorReply(
            QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"), message.member()));
        return true;
    }

private:
    ManagedObjects Objects() const {
        QList<PortEntry> ports;
        for (qsizetype i = 5; i < args.size(); ++i)
            ports.append({args[i], kPortTypeAt});
        QVariantMap modem{{"Manufacturer", args[2]},
                          {"Model", args[3]},
                          {"Device", args[4]},
                          {"PrimaryPort", ports.isEmpty() ? QString() : ports.front().name},
                          {"Ports", QVariant::fromValue(ports)}};
        return {{QDBusObjectPath("/org/freedesktop/ModemManager1/Modem/0"),
                 {{"org.freedesktop.ModemManager1.Modem", modem}}}};
    }

    QStringList args;
};

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 5) {
        std::fprintf(stderr,
                     "usage: fake-modemmanager ADDRESS LOG MANUFACTURER MODEL DEVICE PORT...\n");
        return 2;
    }
    qDBusRegisterMetaType<PortEntry>();
    qDBusRegisterMetaType<QList<PortEntry>>();
    qDBusRegisterMetaType<Interfaces>();
    qDBusRegisterMetaType<ManagedObjects>();
    QDBusConnection bus = QDBusConnection::connectToBus(args[0], QStringLiteral("fake"));
    FakeManager manager(args);
    if (!bus.registerVirtualObject(QStringLiteral("/org/freedesktop/ModemManager1"), &manager) ||
        !bus.registerService(QStringLiteral("org.freedesktop.ModemManager1"))) {
        std::fprintf(stderr, "fake-modemmanager: cannot register on %s\n", qPrintable(args[0]));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
