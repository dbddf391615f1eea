// Preloaded into a Qt program by bench/instructions: the program ends as soon as its event
// loop has painted a window and has nothing left to do, so that what is counted is its
// start-up and nothing after. The programs themselves are not changed: this library's
// QCoreApplication::exec comes first in the search order and runs the real one.
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <dlfcn.h>
#include <unistd.h>

namespace {

// Watches every event the application delivers until the first paint.
class FirstPaint : public QObject
{
public:
    bool seen = false;

protected:
    bool eventFilter(QObject * /*watched*/, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !seen) {
            seen = true;
            QCoreApplication::instance()->removeEventFilter(this);
        }
        return false;
    }
};

// Whether a source of GLib's main loop, which Qt's event loop runs on here, is ready: then
// the loop goes on without waiting. Where the loop is not GLib's, every wait is idle.
bool workPending()
{
    using Pending = int (*)(void *context);
    static const auto pending =
        reinterpret_cast<Pending>(dlsym(RTLD_DEFAULT, "g_main_context_pending"));
    return pending && pending(nullptr);
}

} // namespace

int QCoreApplication::exec()
{
    static FirstPaint firstPaint;
    instance()->installEventFilter(&firstPaint);
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     [] {
                         // Ends without unwinding; callgrind writes its profile at the exit.
                         if (firstPaint.seen && !workPending())
                             _exit(0);
                     });
    using Exec = int (*)();
    static const auto realExec =
        reinterpret_cast<Exec>(dlsym(RTLD_NEXT, "_ZN16QCoreApplication4execEv"));
    return realExec();
}
