#pragma once

#include "handler.h"
#include "periodic_wakeup.h"

namespace ampero {

class Form;

// A window's timer. While enabled it raises Timer once every interval, the first time one
// full interval after it was enabled. Enabling an enabled timer changes nothing, and a
// tick never starts while the previous tick's handler is still running (for example
// while that handler shows a message box); such a tick is skipped, not queued.
// A member of its window: unloading the window stops it, and it dies with the window.
class FormTimer
{
public:
    FormTimer(Form &form, const char *name, int intervalMilliseconds);
    FormTimer(const FormTimer &) = delete;
    FormTimer &operator=(const FormTimer &) = delete;

    const char *Name() const { return name_; }
    bool Enabled() const { return wakeup_.isActive(); }
    void setEnabled(bool enabled);
    int Interval() const { return interval_; }
    // Milliseconds until the next tick, -1 while disabled.
    int remainingTime() const { return wakeup_.remainingTime(); }

    // One tick, as the wake-up makes at the end of an interval: ignored while disabled or
    // while a tick is still being handled.
    void tick();

    Event<> Timer;

private:
    const char *name_;
    int interval_;
    PeriodicWakeup wakeup_;
    bool ticking_ = false;
};

} // namespace ampero
