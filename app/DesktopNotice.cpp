#include "app/DesktopNotice.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace {

// A connection of our own to the address the environment names now, rather than Qt's default
// session bus, which is made once (libdbus reads the address once) and stays unconnected for
// good when no bus was there then: this one is tried again at each notification until a bus
// answers, and again when that bus has gone.
QDBusConnection NotificationBus() {
    const QString name = QStringLiteral("telvane-notifications");
    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    QDBusConnection bus = address.isEmpty()
                              ? QDBusConnection::connectToBus(QDBusConnection::SessionBus, name)
                              : QDBusConnection::connectToBus(address, name);
    if (!bus.isConnected())
        QDBusConnection::disconnectFromBus(name);
    return bus;
}

} // namespace

void NotifyDesktop(const QString& summary, const QString& body) {
    QDBusConnection bus = NotificationBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout (-1: the
    // server's default).
    call << QStringLiteral("Telvane") << 0U << QString() << summary << body << QStringList()
         << QVariantMap() << -1;
    bus.send(call); // the answer (the notification's id) is of no use here
}

QString FirstWords(const QString& text) {
    QString flat = text.simplified();
    if (flat.size() <= kNoticeWords)
        return flat;
    qsizetype cut = flat.lastIndexOf(QLatin1Char(' '), kNoticeWords);
    if (cut < kNoticeWords / 2)
        cut = kNoticeWords;
    return flat.left(cut) + QStringLiteral("...");
}
