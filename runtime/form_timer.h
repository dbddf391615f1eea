#pragma once

#include "periodic_wakeup.h"

#include <QObject>

namespace ampero {

// A window's timer. While enabled it emits Timer once every interval, the first time one
// full interval after it was enabled. Enabling an enabled timer changes nothing, and a
// tick never starts while the previous tick's handler is still running (for example
// while that handler shows a message box); such a tick is skipped, not queued.
// Owned by its window, so it dies when the window is unloaded.
class FormTimer : public QObject
{
    Q_OBJECT

public:
    FormTimer(int intervalMilliseconds, QObject *window);

    void setEnabled(bool enabled);
    bool isEnabled() const { return wakeup_.isActive(); }
    int interval() const { return interval_; }
    // Milliseconds until the next tick, -1 while disabled.
    int remainingTime() const { return wakeup_.remainingTime(); }

    // One tick, as at the end of an interval: ignored while disabled or while a tick is
    // still being handled.
    void tick();

signals:
    void Timer();

private:
    int interval_;
    PeriodicWakeup wakeup_;
    bool ticking_ = false;
};

} // namespace ampero
