#include "app/DesktopNotice.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

void NotifyDesktop(const QString& summary, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
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
