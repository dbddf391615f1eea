#include "dbus_grant.h"

#include <QCoreApplication>
#include <QDBusPendingCallWatcher>

namespace ampero::qt {

// Shared by the grant and the wait for the answer, which may outlive it.
struct DBusGrant::State
{
    QDBusConnection bus;
    QDBusMessage giveBack;
    QVariant granted;
    bool wanted = true;

    void giveBackGranted()
    {
        if (giveBack.type() == QDBusMessage::MethodCallMessage && granted.isValid()) {
            QDBusMessage call = giveBack;
            call.setArguments({granted});
            bus.send(call);
        }
        granted.clear();
    }
};

DBusGrant::DBusGrant(const QDBusConnection &bus, const QDBusMessage &request,
                     const QDBusMessage &giveBack)
    : state_(std::make_shared<State>(State{bus, giveBack, {}}))
{
    // The application owns the wait until the answer comes, whatever becomes of the grant.
    auto *answer =
        new QDBusPendingCallWatcher(bus.asyncCall(request), QCoreApplication::instance());
    QObject::connect(answer, &QDBusPendingCallWatcher::finished, answer, [state = state_, answer] {
        const QDBusMessage reply = answer->reply();
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            state->granted = reply.arguments().front();
            if (!state->wanted)
                state->giveBackGranted();
        }
        answer->deleteLater();
    });
}

DBusGrant::~DBusGrant()
{
    state_->wanted = false;
    state_->giveBackGranted();
}

} // namespace ampero::qt
