#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariant>
#include <memory>

namespace ampero::qt {

// Something a D-Bus service grants on request and takes back when asked: a lock, a
// notification on the screen. The request goes out without waiting for the answer, so a
// slow service never holds up the windows. What the answer carries (a descriptor, a
// cookie, a number) is kept while this lives and given back when it goes: passed to the
// giveBack call, if there is one, and let go of. An answer that comes only after this has
// gone is given back as it comes. A service that is missing or refuses grants nothing and
// is asked nothing more.
class DBusGrant
{
public:
    DBusGrant(const QDBusConnection &bus, const QDBusMessage &request,
              const QDBusMessage &giveBack = {});
    ~DBusGrant();
    DBusGrant(const DBusGrant &) = delete;
    DBusGrant &operator=(const DBusGrant &) = delete;

private:
    struct State;
    std::shared_ptr<State> state_;
};

} // namespace ampero::qt
