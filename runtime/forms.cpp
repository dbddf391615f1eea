#include "forms.h"

#include "form_timer.h"
#include "message_box.h"

#include <algorithm>
#include <climits>
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

// Windows unloaded while a handler of theirs was running, until the last of them ends.
std::vector<std::unique_ptr<Form>> &unloadedInUse()
{
    static std::vector<std::unique_ptr<Form>> windows;
    return windows;
}

void destroyWhenUnused(Form &window)
{
    auto &waiting = unloadedInUse();
    const auto found =
        std::ranges::find_if(waiting, [&window](const std::unique_ptr<Form> &unloaded) {
            return unloaded.get() == &window;
        });
    if (found == waiting.end())
        return;
    std::unique_ptr<Form> unused = std::move(*found);
    waiting.erase(found);
    backend::destroyLater(std::move(unused));
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

void reportFailures(const std::function<void()> &step) noexcept
{
    try {
        step();
    } catch (const RunError &error) {
        report(error);
    } catch (const std::bad_alloc &) {
        report(RunError(ErrorNumber::OutOfMemory));
    } catch (...) {
        report(RunError(ErrorNumber::InternalError));
    }
}

CommandButton *firstButton(const Form &form, bool ButtonStyle::*role)
{
    for (Control *control : form.Controls())
        if (auto *button = dynamic_cast<CommandButton *>(control); button && button->Style().*role)
            return button;
    return nullptr;
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
    unloadedInUse().clear();
    programEnded = false;
}

Control::Control(Container &parent, const char *name, TwipsRect placement, int tabIndex)
    : parent_(parent), name_(name), placement_(placement), tabIndex_(tabIndex)
{
    parent.form().controls_.push_back(this);
}

bool Label::isCut(int captionWidth, int boxWidth) const
{
    return !style_.wordWrap && captionWidth > boxWidth;
}

void Form::addLine(const Line &line)
{
    const auto drawnLater = std::ranges::upper_bound(lines_, line.drawOrder, {}, &Line::drawOrder);
    lines_.insert(drawnLater, &line);
}

std::vector<Control *> Form::tabOrder() const
{
    std::vector<Control *> order = controls_;
    std::ranges::stable_sort(order, {}, [](const Control *control) {
        return control->TabIndex() < 0 ? INT_MAX : control->TabIndex();
    });
    return order;
}

CommandButton *Form::defaultButton() const
{
    return firstButton(*this, &ButtonStyle::isDefault);
}

CommandButton *Form::cancelButton() const
{
    return firstButton(*this, &ButtonStyle::isCancel);
}

void Form::requestAttention(const Text &summary, const Text &body)
{
    if (!backend::isActive(*this))
        backend::requestAttention(*this, summary, body);
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
            if (window.runningHandlers_ > 0)
                unloadedInUse().push_back(std::move(instance));
            else
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

void runHandler(Form *form, const std::function<void()> &handler)
{
    if (programEnded)
        return;
    if (form)
        ++form->runningHandlers_;
    reportFailures(handler);
    if (form && --form->runningHandlers_ == 0 && !form->loaded_)
        reportFailures([form] { destroyWhenUnused(*form); });
}

} // namespace ampero
