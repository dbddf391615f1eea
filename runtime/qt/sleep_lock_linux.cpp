// The lock against suspend on Linux, from logind and from GNOME's session manager: KDE's
// power manager honours logind's locks, while GNOME's idle suspend looks only at its own.

#include "dbus_grant.h"
#include "qt_forms.h"
#include "sleep_lock.h"

#include <QDBusMessage>

namespace ampero {

namespace {

// logind holds its lock while the descriptor it answers with stays open anywhere.
QDBusMessage logindInhibit(const QString &reason)
{
    QDBusMessage inhibit = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    inhibit << QStringLiteral("sleep") << QStringLiteral("Ampero") << reason
            << QStringLiteral("block");
    return inhibit;
}

QDBusMessage gnomeSessionCall(const QString &method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.gnome.SessionManager"),
                                          QStringLiteral("/org/gnome/SessionManager"),
                                          QStringLiteral("org.gnome.SessionManager"), method);
}

// Flags 4: suspend only, never the screen saver. The cookie it answers with undoes it.
QDBusMessage gnomeInhibit(const QString &reason)
{
    constexpr uint inhibitSuspend = 4;
    constexpr uint noToplevelWindow = 0;
    QDBusMessage inhibit = gnomeSessionCall(QStringLiteral("Inhibit"));
    inhibit << QStringLiteral("Ampero") << noToplevelWindow << reason << inhibitSuspend;
    return inhibit;
}

} // namespace

struct SleepLock::Impl
{
    qt::DBusGrant logind;
    qt::DBusGrant gnomeSession;
};

SleepLock::SleepLock(const std::u16string &reason)
    : impl_(new Impl{{QDBusConnection::systemBus(), logindInhibit(qt::toQString(reason))},
                     {QDBusConnection::sessionBus(), gnomeInhibit(qt::toQString(reason)),
                      gnomeSessionCall(QStringLiteral("Uninhibit"))}})
{
}

SleepLock::~SleepLock() = default;

} // namespace ampero
