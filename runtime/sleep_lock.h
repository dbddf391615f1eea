#pragma once

#include <memory>
#include <string>

namespace ampero {

// Keeps the computer from suspending itself while nobody touches it, for as long as the
// lock lives; the screen may still blank and lock. The reason is what the system shows a
// person who asks why the computer stays awake. Where the system has no such lock, or
// refuses it, nothing changes and nothing is reported.
class SleepLock
{
public:
    explicit SleepLock(const std::u16string &reason);
    ~SleepLock();
    SleepLock(const SleepLock &) = delete;
    SleepLock &operator=(const SleepLock &) = delete;

private:
    struct Impl; // backend
    std::unique_ptr<Impl> impl_;
};

} // namespace ampero
