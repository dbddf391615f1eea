#include "forms.h"

#include "form_timer.h"
#include "message_box.h"

#include <QApplication>
#include <QHash>
#include <QScreen>

namespace ampero {

namespace {
bool programEnded = false;
}

QPointer<QWidget> &detail::sharedSlot(const QMetaObject &windowClass)
{
    static QHash<const QMetaObject *, QPointer<QWidget>> instances;
    return instances[&windowClass];
}

void showModal(QDialog &window)
{
    window.setWindowModality(Qt::ApplicationModal);
    window.exec();
    unload(window);
}

void unload(QWidget &window)
{
    QPointer<QWidget> &slot = detail::sharedSlot(*window.metaObject());
    if (slot == &window)
        slot.clear();
    for (FormTimer *timer : window.findChildren<FormTimer *>())
        timer->setEnabled(false);
    if (auto *dialog = qobject_cast<QDialog *>(&window); dialog && dialog->isVisible())
        dialog->done(QDialog::Rejected);
    window.hide();
    window.deleteLater();
}

void end()
{
    programEnded = true;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        for (FormTimer *timer : window->findChildren<FormTimer *>())
            timer->setEnabled(false);
        window->hide();
    }
    QCoreApplication::exit(0);
}

bool hasEnded()
{
    return programEnded;
}

namespace {

class CentreOnFirstShow : public QObject
{
public:
    explicit CentreOnFirstShow(QWidget &window) : QObject(&window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            auto &window = static_cast<QWidget &>(*watched);
            if (const QScreen *screen = window.screen()) {
                QRect frame = window.frameGeometry();
                frame.moveCenter(screen->availableGeometry().center());
                window.move(frame.topLeft());
            }
            deleteLater();
        }
        return false;
    }
};

} // namespace

void centerOnScreenWhenShown(QWidget &window)
{
    window.installEventFilter(new CentreOnFirstShow(window));
}

void runHandler(const std::function<void()> &handler)
{
    if (programEnded)
        return;
    try {
        handler();
    } catch (const RunError &error) {
        reportError(error);
    }
}

} // namespace ampero
