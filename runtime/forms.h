#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace ampero {

namespace detail {
QPointer<QWidget> &sharedSlot(const QMetaObject &windowClass);
}

// The shared instance of a window class: created in its designed state on first
// reference, and again on the first reference after it was unloaded.
template <class Window> Window &shared()
{
    QPointer<QWidget> &slot = detail::sharedSlot(Window::staticMetaObject);
    if (!slot)
        slot = new Window;
    return static_cast<Window &>(*slot);
}

template <class Window> bool isLoaded()
{
    return !detail::sharedSlot(Window::staticMetaObject).isNull();
}

// Shows the window modally, with no owner: no other window takes input until it is
// unloaded, and only then does this return.
void showModal(QDialog &window);

// Closes the window, stops its timers and destroys it with its controls; the next
// reference to its shared instance creates it anew. Safe to call from the window's own
// handlers: destruction waits until the handler has returned.
void unload(QWidget &window);

// Ends the program at once: every window goes, and no further handler runs.
void end();
bool hasEnded();

// Places the window in the middle of the screen's available area when it is first shown,
// once its final size is known.
void centerOnScreenWhenShown(QWidget &window);

// Runs an event handler inside the runtime's guard: a run-time error ends the handler and
// is reported, and the program goes on. Nothing is thrown across the event loop.
void runHandler(const std::function<void()> &handler);

// Connects a control's signal to a window's handler, run inside the guard.
template <class Sender, class Signal, class Handler>
void onEvent(Sender *sender, Signal signal, QObject *window, Handler handler)
{
    QObject::connect(sender, signal, window, [handler] { runHandler(handler); });
}

} // namespace ampero
