#include "modemmanager/ModemManagerClient.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFileInfo>
#include <QVariantMap>
#include <atomic>

namespace {

constexpr int kCallTimeoutMs = 3000;
const QString kService = QStringLiteral("org.freedesktop.ModemManager1");
const QString kManagerPath = QStringLiteral("/org/freedesktop/ModemManager1");
const QString kModemInterface = QStringLiteral("org.freedesktop.ModemManager1.Modem");
// A connection of its own for each client: a name used again would hand back an old one.
QString PrivateBusName() {
    static std::atomic<int> count{0};
    return QStringLiteral("telvane-modemmanager-%1").arg(count++);
}

QDBusConnection OpenBus(const QString& privateName) {
    const QString address = qEnvironmentVariable("TELVANE_MM_BUS");
    return address.isEmpty() ? QDBusConnection::systemBus()
                             : QDBusConnection::connectToBus(address, privateName);
}

// The names a port goes by: the one given and, for a link, the node it leads to.
QStringList PortNames(const std::string& devicePath) {
    const QFileInfo given(QString::fromStdString(devicePath));
    QStringList names{given.fileName()};
    const QString target = given.canonicalFilePath();
    if (!target.isEmpty() && QFileInfo(target).fileName() != names.front())
        names << QFileInfo(target).fileName();
    return names;
}

// The Ports property, a(su): each port's name and type.
QStringList ModemPorts(const QVariant& value) {
    QStringList ports;
    if (!value.canConvert<QDBusArgument>())
        return ports;
    const auto array = value.value<QDBusArgument>();
    array.beginArray();
    while (!array.atEnd()) {
        QString name;
        uint type = 0;
        array.beginStructure();
        array >> name >> type;
        array.endStructure();
        ports << name;
    }
    array.endArray();
    return ports;
}

std::optional<ManagedModem> MatchModem(const QVariantMap& modem, const QStringList& names) {
    QStringList ports = ModemPorts(modem.value(QStringLiteral("Ports")));
    ports << modem.value(QStringLiteral("PrimaryPort")).toString();
    for (const QString& name : names) {
        if (name.isEmpty() || !ports.contains(name))
            continue;
        return ManagedModem{modem.value(QStringLiteral("Manufacturer")).toString().toStdString(),
                            modem.value(QStringLiteral("Model")).toString().toStdString(),
                            name.toStdString(),
                            modem.value(QStringLiteral("Device")).toString().toStdString()};
    }
    return std::nullopt;
}

} // namespace

ModemManagerClient::ModemManagerClient()
    : privateName(PrivateBusName()), bus(OpenBus(privateName)) {}

ModemManagerClient::~ModemManagerClient() {
    if (bus.name() == privateName)
        QDBusConnection::disconnectFromBus(privateName);
}

bool ModemManagerClient::Running() const {
    return bus.isConnected() && bus.interface() != nullptr &&
           bus.interface()->isServiceRegistered(kService).value();
}

std::optional<ManagedModem> ModemManagerClient::ModemUsing(const std::string& devicePath) const {
    if (!Running())
        return std::nullopt;
    const QDBusMessage reply =
        bus.call(QDBusMessage::createMethodCall(
                     kService, kManagerPath, QStringLiteral("org.freedesktop.DBus.ObjectManager"),
                     QStringLiteral("GetManagedObjects")),
                 QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    const QStringList names = PortNames(devicePath);
    // a{oa{sa{sv}}}: object path -> interface -> properties.
    const auto objects = reply.arguments().constFirst().value<QDBusArgument>();
    std::optional<ManagedModem> found;
    objects.beginMap();
    while (!objects.atEnd()) {
        QDBusObjectPath path;
        QMap<QString, QVariantMap> interfaces;
        objects.beginMapEntry();
        objects >> path;
        objects.beginMap();
        while (!objects.atEnd()) {
            QString name;
            QVariantMap properties;
            objects.beginMapEntry();
            objects >> name >> properties;
            objects.endMapEntry();
            interfaces.insert(name, properties);
        }
        objects.endMap();
        objects.endMapEntry();
        if (!found && interfaces.contains(kModemInterface))
            found = MatchModem(interfaces.value(kModemInterface), names);
    }
    objects.endMap();
    return found;
}

std::string ModemManagerClient::InhibitDevice(const std::string& uid, bool inhibit) const {
    if (!Running())
        return "ModemManager is not running";
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kManagerPath, kService,
                                                       QStringLiteral("InhibitDevice"));
    call << QString::fromStdString(uid) << inhibit;
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return {};
    const QString error = reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
    return error.toStdString();
}
