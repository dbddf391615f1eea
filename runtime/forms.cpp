#include "forms.h"

#include "form_timer.h"
#include "message_box.h"

#include <map>
#include <new>

namespace ampero {

namespace {

bool programEnded = false;

std::map<std::type_index, std::unique_ptr<Form>> &sharedInstances()
{
    static std::map<std::type_index, std::unique_ptr<Form>> instances;
    return instances;
}

// Showing the report is all that can be done with an error; should that fail too, the
// handler still ends quietly rather than take the program down.
void report(const RunError &error) noexcept
{
    try {
        reportError(error);
    } catch (...) {
    }
}

} // namespace

bool detail::anyWindowLoaded()
{
    for (const auto &[windowClass, window] : sharedInstances())
        if (window)
            return true;
    return false;
}

std::unique_ptr<Form> &detail::sharedSlot(std::type_index windowClass)
{
    return sharedInstances()[windowClass];
}

void detail::destroyAllWindows()
{
    sharedInstances().clear();
}

Control::Control(Container &parent, const char *name, TwipsRect placement, int tabIndex)
    : parent_(parent), name_(name), placement_(placement), tabIndex_(tabIndex)
{
    parent.form().controls_.push_back(this);
}

void Form::addLine(const Line &line)
{
    lines_.push_back(&line);
}

void showModal(Form &window)
{
    const std::weak_ptr<Form *> guard = window.guard();
    backend::runModal(window);
    if (!guard.expired() && window.loaded())
        unload(window);
}

void unload(Form &window)
{
    if (!window.loaded_)
        return;
    window.loaded_ = false;
    for (FormTimer *timer : window.timers_)
        timer->setEnabled(false);
    backend::hideWindow(window);
    for (auto &[windowClass, instance] : sharedInstances()) {
        if (instance.get() == &window) {
            backend::destroyLater(std::move(instance));
            break;
        }
    }
    if (!detail::anyWindowLoaded())
        backend::quitEventLoop();
}

void end()
{
    programEnded = true;
    for (auto &[windowClass, window] : sharedInstances()) {
        if (!window)
            continue;
        for (FormTimer *timer : window->Timers())
            timer->setEnabled(false);
        backend::hideWindow(*window);
    }
    backend::quitEventLoop();
}

bool hasEnded()
{
    return programEnded;
}

void runHandler(const std::function<void()> &handler)
{
    if (programEnded)
        return;
    try {
        handler();
    } catch (const RunError &error) {
        report(error);
    } catch (const std::bad_alloc &) {
        report(RunError(ErrorNumber::OutOfMemory));
    } catch (...) {
        report(RunError(ErrorNumber::InternalError));
    }
}

} // namespace ampero
