#pragma once

#include <functional>

namespace ampero {

// Runs an event handler inside the runtime's guard: a run-time error ends the handler and
// is reported, and the program goes on. No exception of any kind crosses the event loop:
// running out of memory is reported as error 7, any other failure as error 51. Once the
// program has ended, no handler runs.
void runHandler(const std::function<void()> &handler);

// A handler slot of a control or timer. The window assigns its handler; the backend raises
// the event, and the handler runs inside the guard.
template <class... Args> class Event
{
public:
    Event &operator=(std::function<void(Args...)> handler)
    {
        handler_ = std::move(handler);
        return *this;
    }
    void raise(Args... args) const
    {
        if (handler_)
            runHandler([&] { handler_(args...); });
    }

private:
    std::function<void(Args...)> handler_;
};

} // namespace ampero
