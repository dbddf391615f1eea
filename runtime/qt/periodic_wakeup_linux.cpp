// The periodic wake-up on Linux: a timerfd watched by the event loop.

#include "periodic_wakeup.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <stdexcept>
#include <sys/timerfd.h>
#include <system_error>
#include <unistd.h>

namespace ampero {

namespace {

timespec toTimespec(int milliseconds)
{
    return {milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1'000'000};
}

} // namespace

struct PeriodicWakeup::Backend
{
    explicit Backend(std::function<void()> due)
        : due(std::move(due)),
          descriptor(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC))
    {
        if (descriptor < 0)
            throw std::runtime_error("timerfd_create failed");
        notifier = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
        notifier->setEnabled(false);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(),
                         [this] { expired(); });
    }
    ~Backend()
    {
        notifier.reset();
        close(descriptor);
    }

    // Every interval from now on; 0 disarms the descriptor.
    bool arm(int milliseconds)
    {
        const timespec period = toTimespec(milliseconds);
        const itimerspec setting{period, period};
        return timerfd_settime(descriptor, 0, &setting, nullptr) == 0;
    }

    // Reading the count of expirations clears the descriptor; expirations beyond the first
    // are calls that fell due while the loop was held up.
    void expired()
    {
        std::uint64_t expirations = 0;
        if (read(descriptor, &expirations, sizeof expirations) == sizeof expirations && active)
            due();
    }

    std::function<void()> due;
    int descriptor;
    std::unique_ptr<QSocketNotifier> notifier;
    bool active = false;
};

PeriodicWakeup::PeriodicWakeup(std::function<void()> due)
    : backend_(std::make_unique<Backend>(std::move(due)))
{
}

PeriodicWakeup::~PeriodicWakeup() = default;

void PeriodicWakeup::start(int intervalMilliseconds)
{
    // Re-arming also clears expirations not yet read.
    if (!backend_->arm(intervalMilliseconds))
        throw std::system_error(errno, std::generic_category(), "timerfd_settime failed");
    backend_->active = true;
    backend_->notifier->setEnabled(true);
}

void PeriodicWakeup::stop()
{
    // Disarming a descriptor of its own can't fail; and with the notifier off, no call
    // would come of it if it did.
    backend_->arm(0);
    backend_->active = false;
    backend_->notifier->setEnabled(false);
}

bool PeriodicWakeup::isActive() const
{
    return backend_->active;
}

int PeriodicWakeup::remainingTime() const
{
    if (!backend_->active)
        return -1;
    itimerspec setting{};
    timerfd_gettime(backend_->descriptor, &setting);
    return static_cast<int>(setting.it_value.tv_sec * 1000 + setting.it_value.tv_nsec / 1'000'000);
}

} // namespace ampero
