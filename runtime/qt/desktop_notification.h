#pragma once

#include "dbus_grant.h"

#include <QString>

namespace ampero::qt {

// A notification on the desktop, shown through the session's notification service when
// made and withdrawn when it goes. Without such a service, nothing is shown.
class DesktopNotification
{
public:
    DesktopNotification(const QString &summary, const QString &body);

private:
    DBusGrant shown_;
};

} // namespace ampero::qt
