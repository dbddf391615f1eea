#include "form_timer.h"

namespace ampero {

FormTimer::FormTimer(int intervalMilliseconds, QObject *window)
    : QObject(window), interval_(intervalMilliseconds), wakeup_([this] { tick(); })
{
}

void FormTimer::setEnabled(bool enabled)
{
    if (enabled == wakeup_.isActive())
        return;
    if (enabled)
        wakeup_.start(interval_);
    else
        wakeup_.stop();
}

void FormTimer::tick()
{
    if (!wakeup_.isActive() || ticking_)
        return;
    ticking_ = true;
    emit Timer();
    ticking_ = false;
}

} // namespace ampero
