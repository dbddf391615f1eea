#pragma once

#include <QObject>
#include <QTimer>

namespace ampero {

// A window's timer. While enabled it emits Timer once every interval, the first time one
// full interval after it was enabled. Enabling an enabled timer changes nothing, and a
// tick never starts while the previous tick's handler is still running (for example
// while that handler shows a message box); such a tick is skipped, not queued.
// Owned by its window, so it dies when the window is unloaded.
class FormTimer : public QObject
{
    Q_OBJECT

public:
    FormTimer(int intervalMilliseconds, QObject *window);

    void setEnabled(bool enabled);
    bool isEnabled() const { return timer_.isActive(); }
    int interval() const { return timer_.interval(); }
    // Milliseconds until the next tick, -1 while disabled.
    int remainingTime() const { return timer_.remainingTime(); }

    // One tick, as at the end of an interval: ignored while disabled or while a tick is
    // still being handled.
    void tick();

signals:
    void Timer();

private:
    QTimer timer_;
    bool ticking_ = false;
};

} // namespace ampero
