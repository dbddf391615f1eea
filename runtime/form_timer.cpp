#include "form_timer.h"

#include "forms.h"

namespace ampero {

FormTimer::FormTimer(Form &form, const char *name, int intervalMilliseconds)
    : Timer(form), name_(name), interval_(intervalMilliseconds), wakeup_([this] { tick(); })
{
    form.timers_.push_back(this);
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
    // Cleared however the handler ends, so that a failed tick doesn't silence the timer.
    struct Ticking
    {
        bool &flag;
        explicit Ticking(bool &flag) : flag(flag) { flag = true; }
        ~Ticking() { flag = false; }
    } ticking(ticking_);
    Timer.raise();
}

} // namespace ampero
