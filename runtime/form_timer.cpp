#include "form_timer.h"

namespace ampero {

FormTimer::FormTimer(int intervalMilliseconds, QObject *window) : QObject(window)
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(intervalMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &FormTimer::tick);
}

void FormTimer::setEnabled(bool enabled)
{
    if (enabled == timer_.isActive())
        return;
    if (enabled)
        timer_.start();
    else
        timer_.stop();
}

void FormTimer::tick()
{
    if (!timer_.isActive() || ticking_)
        return;
    ticking_ = true;
    emit Timer();
    ticking_ = false;
}

} // namespace ampero
