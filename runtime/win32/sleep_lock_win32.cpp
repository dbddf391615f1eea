// The lock against suspend on Windows: a power request that keeps the system awake, or
// where none can be made (older systems, Wine) the thread's execution state.

#include "sleep_lock.h"

#include <windows.h>

namespace ampero {

struct SleepLock::Impl
{
    HANDLE request = INVALID_HANDLE_VALUE; // the power request, if one was made
};

SleepLock::SleepLock(const std::u16string &reason) : impl_(new Impl)
{
    std::wstring text(reason.begin(), reason.end());
    REASON_CONTEXT context{};
    context.Version = POWER_REQUEST_CONTEXT_VERSION;
    context.Flags = POWER_REQUEST_CONTEXT_SIMPLE_STRING;
    context.Reason.SimpleReasonString = text.data();
    HANDLE request = PowerCreateRequest(&context);
    if (request != INVALID_HANDLE_VALUE && PowerSetRequest(request, PowerRequestSystemRequired)) {
        impl_->request = request;
        return;
    }
    if (request != INVALID_HANDLE_VALUE)
        CloseHandle(request);
    SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
}

SleepLock::~SleepLock()
{
    if (impl_->request == INVALID_HANDLE_VALUE) {
        SetThreadExecutionState(ES_CONTINUOUS);
        return;
    }
    PowerClearRequest(impl_->request, PowerRequestSystemRequired);
    CloseHandle(impl_->request);
}

} // namespace ampero
