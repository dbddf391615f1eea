#pragma once

// The Qt backend's own view of the forms: the widgets behind forms, controls and menu
// entries. The windows never see it; the backend's sources and the window tests do.

#include "forms.h"

#include <QAction>
#include <QEventLoop>
#include <QFont>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

namespace ampero {

namespace qt {
class DesktopNotification;
}

struct Control::Impl
{
    QPointer<QWidget> widget;
};

struct MenuEntry::Impl
{
    QPointer<QMenu> menu; // a drop-down's own menu
    QPointer<QAction> action;
};

struct Form::Impl
{
    std::unique_ptr<QWidget> window;
    QWidget *clientArea = nullptr; // owned by the window
    QPointer<QEventLoop> modalLoop;
    bool shownBefore = false;
    std::unique_ptr<qt::DesktopNotification> notice; // asked for attention while inactive
};

namespace qt {

inline QWidget *widget(const Control &control)
{
    return control.impl().widget;
}

inline QWidget *window(const Form &form)
{
    return form.impl().window.get();
}

inline QWidget *clientArea(const Form &form)
{
    return form.impl().clientArea;
}

inline QAction *action(const MenuEntry &entry)
{
    return entry.impl().action;
}

inline QMenu *menu(const MenuEntry &entry)
{
    return entry.impl().menu;
}

QString toQString(const std::u16string &text);
std::u16string fromQString(const QString &text);

// The font the forms' controls are laid out with, unless a control asks for another. The
// menu bar and message boxes keep the desktop's own font.
QFont designFont();

// While a capture is installed, message boxes are handed to it instead of being shown,
// so tests never block on a dialog. An empty function shows them again.
using MessageBoxCapture = std::function<void(const QString &text, const QString &title)>;
void setMessageBoxCapture(MessageBoxCapture capture);

} // namespace qt
} // namespace ampero
