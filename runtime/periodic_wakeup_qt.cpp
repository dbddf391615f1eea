// The periodic wake-up where no timerfd exists: a precise Qt timer.

#include "periodic_wakeup.h"

#include <QTimer>

namespace ampero {

struct PeriodicWakeup::Backend
{
    QTimer timer;
};

PeriodicWakeup::PeriodicWakeup(std::function<void()> due) : backend_(std::make_unique<Backend>())
{
    backend_->timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&backend_->timer, &QTimer::timeout, &backend_->timer, std::move(due));
}

PeriodicWakeup::~PeriodicWakeup() = default;

void PeriodicWakeup::start(int intervalMilliseconds)
{
    backend_->timer.start(intervalMilliseconds);
}

void PeriodicWakeup::stop()
{
    backend_->timer.stop();
}

bool PeriodicWakeup::isActive() const
{
    return backend_->timer.isActive();
}

int PeriodicWakeup::remainingTime() const
{
    return backend_->timer.remainingTime();
}

} // namespace ampero
