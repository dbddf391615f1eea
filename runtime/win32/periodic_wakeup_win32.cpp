// The periodic wake-up on the system's window timers. A window timer is good to the
// system's timer resolution, but it only ever waits for the next call: each call is due a
// whole number of intervals after the start, whenever the one before it ran.

#include "periodic_wakeup.h"
#include "run_error.h"
#include "win32_forms.h"

#include <chrono>
#include <map>

namespace ampero {

using Clock = std::chrono::steady_clock;

namespace {

// A window timer of the helper window, by its identifier.
class WindowTimer
{
public:
    WindowTimer() : identifier_(++lastIdentifier) { timers()[identifier_] = this; }
    virtual ~WindowTimer() { timers().erase(identifier_); }
    WindowTimer(const WindowTimer &) = delete;
    WindowTimer &operator=(const WindowTimer &) = delete;

    static void expired(UINT_PTR identifier)
    {
        const auto timer = timers().find(identifier);
        if (timer != timers().end())
            timer->second->expired();
    }

protected:
    UINT_PTR identifier() const { return identifier_; }
    virtual void expired() = 0;

private:
    static std::map<UINT_PTR, WindowTimer *> &timers()
    {
        static std::map<UINT_PTR, WindowTimer *> byIdentifier;
        return byIdentifier;
    }
    static inline UINT_PTR lastIdentifier = 0;
    UINT_PTR identifier_;
};

} // namespace

struct PeriodicWakeup::Backend : WindowTimer
{
    explicit Backend(std::function<void()> due) : due(std::move(due)) {}
    ~Backend() override { stop(); }

    void start(int intervalMilliseconds)
    {
        interval = std::chrono::milliseconds(intervalMilliseconds);
        started = Clock::now();
        nextCall = started + interval;
        arm();
        active = true;
    }

    void stop()
    {
        if (active)
            KillTimer(win32::helperWindow(), identifier());
        active = false;
    }

    // A wake-up the system can't arm is stopped, and its failure reported.
    void arm()
    {
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextCall - Clock::now());
        const auto milliseconds = std::max<long long>(wait.count(), USER_TIMER_MINIMUM);
        if (!SetTimer(win32::helperWindow(), identifier(), static_cast<UINT>(milliseconds),
                      nullptr)) {
            active = false;
            throw RunError(ErrorNumber::OutOfMemory);
        }
    }

    void expired() override
    {
        if (!active)
            return;
        const Clock::time_point now = Clock::now();
        // A window timer may come a little early: wait on for the rest.
        if (now < nextCall) {
            arm();
            return;
        }
        nextCall = started + ((now - started) / interval + 1) * interval;
        arm();
        due();
    }

    std::function<void()> due;
    bool active = false;
    Clock::time_point started;
    Clock::duration interval{};
    Clock::time_point nextCall;
};

PeriodicWakeup::PeriodicWakeup(std::function<void()> due)
    : backend_(std::make_unique<Backend>(std::move(due)))
{
}

PeriodicWakeup::~PeriodicWakeup() = default;

void PeriodicWakeup::start(int intervalMilliseconds)
{
    backend_->start(intervalMilliseconds);
}

void PeriodicWakeup::stop()
{
    backend_->stop();
}

bool PeriodicWakeup::isActive() const
{
    return backend_->active;
}

int PeriodicWakeup::remainingTime() const
{
    if (!backend_->active)
        return -1;
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(backend_->nextCall - Clock::now());
    return static_cast<int>(std::max<long long>(left.count(), 0));
}

void win32::wakeupDue(UINT_PTR timer)
{
    WindowTimer::expired(timer);
}

} // namespace ampero
