#include "desktop_notification.h"

#include <QStringList>
#include <QVariantMap>

namespace ampero::qt {

namespace {

QDBusMessage notificationsCall(const QString &method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
                                          QStringLiteral("/org/freedesktop/Notifications"),
                                          QStringLiteral("org.freedesktop.Notifications"), method);
}

QDBusMessage notify(const QString &summary, const QString &body)
{
    const QString desktopEntry = QStringLiteral("org.ampero.Ampero");
    // What the notification is about makes its own sound: the server is told which, and
    // asked to add none.
    const QVariantMap hints{{QStringLiteral("desktop-entry"), desktopEntry},
                            {QStringLiteral("sound-name"), QStringLiteral("alarm-clock-elapsed")},
                            {QStringLiteral("suppress-sound"), true}};
    constexpr uint replacesNone = 0;
    constexpr int neverExpires = 0;
    QDBusMessage call = notificationsCall(QStringLiteral("Notify"));
    call << QStringLiteral("Ampero") << replacesNone << desktopEntry << summary << body
         << QStringList() << hints << neverExpires;
    return call;
}

} // namespace

DesktopNotification::DesktopNotification(const QString &summary, const QString &body)
    : shown_(QDBusConnection::sessionBus(), notify(summary, body),
             notificationsCall(QStringLiteral("CloseNotification")))
{
}

} // namespace ampero::qt
