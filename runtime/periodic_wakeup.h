#pragma once

#include <functional>
#include <memory>

namespace ampero {

// Calls a function every interval on the thread's event loop, in phase with the start:
// the n-th call is due n intervals after start(), however late an earlier one ran, and
// calls that fell due while the loop was held up are not made up for.
//
// The event loop's own timers wait in poll(), which the kernel lets overshoot by up to
// 0.1 % of the wait: 60 ms on a one-minute interval. On Linux this wake-up is a timerfd,
// which keeps to the thread's timer slack (50 µs) whatever the interval.
class PeriodicWakeup
{
public:
    explicit PeriodicWakeup(std::function<void()> due);
    ~PeriodicWakeup();
    PeriodicWakeup(const PeriodicWakeup &) = delete;
    PeriodicWakeup &operator=(const PeriodicWakeup &) = delete;

    void start(int intervalMilliseconds);
    void stop();
    bool isActive() const;
    // Milliseconds until the next call, -1 while stopped.
    int remainingTime() const;

private:
    struct Backend;
    std::unique_ptr<Backend> backend_;
};

} // namespace ampero
