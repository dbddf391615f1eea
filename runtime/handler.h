#pragma once

#include <functional>

namespace ampero {

class Form;

// Runs an event handler of the form (null for the program's start-up) inside the runtime's
// guard, through which the system enters the program: a run-time error ends the handler
// and is reported, and the program goes on. No exception of any kind crosses the event
// loop: running out of memory is reported as error 7, any other failure as error 51. Once
// the program has ended, no handler runs. While any handler of a form runs, the form is
// not destroyed, even when unloaded.
void runHandler(Form *form, const std::function<void()> &handler);

// A handler slot of a control or timer of the form. The window assigns its handler; the
// backend raises the event, and the handler runs inside the guard.
template <class... Args> class Event
{
public:
    explicit Event(Form &form) : form_(form) {}
    Event &operator=(std::function<void(Args...)> handler)
    {
        handler_ = std::move(handler);
        return *this;
    }
    void raise(Args... args) const
    {
        if (handler_)
            runHandler(&form_, [&] { handler_(args...); });
    }

private:
    Form &form_;
    std::function<void(Args...)> handler_;
};

} // namespace ampero
