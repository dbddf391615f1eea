// Forms, controls and menus on Qt Widgets.
//
// A form with a minimize button is a main window; any other form is a dialog. Either way
// the designed client area is one fixed-size widget that holds the controls and paints the
// form's lines, below the menu bar of a form that declares a menu.

#include "desktop_notification.h"
#include "frame_extents.h"
#include "qt_forms.h"
#include "twips.h"
#include "window_icon.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <optional>

namespace ampero {

namespace {

int pixels(int twips)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return twipsToPixels(twips, screen ? screen->logicalDotsPerInchX() : 96.0);
}

QRect pixelRect(const TwipsRect &twips)
{
    return {pixels(twips.left), pixels(twips.top), pixels(twips.width), pixels(twips.height)};
}

QWidget *nativeParent(Container &container)
{
    if (const Control *frame = container.asControl())
        return qt::widget(*frame);
    return qt::clientArea(container.form());
}

template <class Widget> Widget &as(const Control &control)
{
    return static_cast<Widget &>(*qt::widget(control));
}

template <class Widget, class... Args>
std::unique_ptr<Control::Impl, Control::ImplDeleter> place(Container &parent,
                                                           const Control &control, Args &&...args)
{
    auto *widget = new Widget(std::forward<Args>(args)..., nativeParent(parent));
    widget->setObjectName(QString::fromLatin1(control.Name()));
    widget->setGeometry(pixelRect(control.Placement()));
    return std::unique_ptr<Control::Impl, Control::ImplDeleter>(new Control::Impl{widget});
}

// A named face; the forms' own font and the dialog font are the client area's.
QFont namedFont(const Font &font)
{
    // Debian has no Comic Sans MS; Comic Neue keeps its character. Qt turns to a
    // substitute only when the family itself is missing.
    QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
    QFont named(qt::toQString(font.face));
    named.setBold(font.bold);
    named.setPointSizeF(font.points);
    return named;
}

// A label in its designed box. A caption too long for one line is drawn cut, ending in an
// ellipsis, with the whole caption as its tooltip; it stays the label's text, so screen
// readers get all of it. Whether it is cut is decided when the label is first polished
// (shown), and again once its caption, font or width has changed.
class CaptionLabel : public QLabel
{
public:
    CaptionLabel(const Label &control, const QString &caption, QWidget *parent)
        : QLabel(caption, parent), control_(control)
    {
        setTextFormat(Qt::PlainText);
    }

    void setCaption(const QString &caption)
    {
        setText(caption);
        cut_.reset();
        decideCut();
    }

protected:
    bool event(QEvent *event) override
    {
        const bool handled = QLabel::event(event);
        if (event->type() == QEvent::Polish)
            decideCut();
        else if (event->type() == QEvent::FontChange)
            cut_.reset();
        return handled;
    }

    void paintEvent(QPaintEvent *event) override
    {
        if (!decideCut()) {
            QLabel::paintEvent(event);
            return;
        }
        QPainter painter(this);
        const QRect box = contentsRect();
        style()->drawItemText(
            &painter, box, QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
            isEnabled(), fontMetrics().elidedText(text(), Qt::ElideRight, box.width()),
            foregroundRole());
    }

private:
    bool decideCut()
    {
        const int boxWidth = contentsRect().width();
        if (!cut_ || boxWidth != decidedWidth_) {
            cut_ = control_.isCut(fontMetrics().horizontalAdvance(text()), boxWidth);
            decidedWidth_ = boxWidth;
            setToolTip(*cut_ ? text() : QString());
        }
        return *cut_;
    }

    const Label &control_;
    std::optional<bool> cut_;
    int decidedWidth_ = 0;
};

// The designed client area: it holds the controls and draws the form's lines below them.
class ClientArea : public QWidget
{
public:
    ClientArea(const Form &form, QWidget *window) : QWidget(window), form_(form) {}

protected:
    void paintEvent(QPaintEvent * /*event*/) override
    {
        QPainter painter(this);
        for (const Line *line : form_.Lines()) {
            // As Windows draws a pen of that width: centred on the line, and without the
            // line's last point.
            const int top = pixels(line->y1) - line->widthPixels / 2;
            const int left = pixels(line->x1);
            painter.fillRect(left, top, pixels(line->x2) - left, line->widthPixels,
                             QColor(line->colour.red, line->colour.green, line->colour.blue));
        }
    }

private:
    const Form &form_;
};

// The close button unloads the form. Qt passes no close request to a window blocked by a
// modal one.
void closeAsUnload(Form &form, QCloseEvent *event)
{
    runHandler(&form, [&form] { unload(form); });
    event->accept();
}

// Escape presses the cancel button, and does nothing on a form without one.
void pressCancelButton(const Form &form)
{
    if (CommandButton *button = form.cancelButton())
        as<QPushButton>(*button).click();
}

class MainWindow : public QMainWindow
{
public:
    explicit MainWindow(Form &form) : form_(form) {}

protected:
    void closeEvent(QCloseEvent *event) override { closeAsUnload(form_, event); }
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->matches(QKeySequence::Cancel))
            pressCancelButton(form_);
        else
            QMainWindow::keyPressEvent(event);
    }

private:
    Form &form_;
};

class DialogWindow : public QDialog
{
public:
    explicit DialogWindow(Form &form) : form_(form) {}

    void reject() override { pressCancelButton(form_); }

protected:
    void closeEvent(QCloseEvent *event) override { closeAsUnload(form_, event); }

private:
    Form &form_;
};

// Centres the framed window on the screen's available area as it first opens, before it is
// mapped: with the frame the window manager announces, or the window alone where none does.
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
                // Until the window is mapped, Qt knows no frame of the manager's: it places
                // the window itself there, and the manager frames it.
                const QMargins announced =
                    qt::frameExtentsBeforeMapping(*window.windowHandle()).value_or(QMargins());
                QRect framed(QPoint(), window.frameGeometry().size().grownBy(announced));
                framed.moveCenter(screen->availableGeometry().center());
                window.move(framed.topLeft() + QPoint(announced.left(), announced.top()));
            }
            deleteLater();
        }
        return false;
    }
};

Qt::WindowFlags windowFlags(const FormDesign &design)
{
    Qt::WindowFlags flags = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (design.minButton)
        return flags | Qt::Window | Qt::WindowMinimizeButtonHint;
    return flags | Qt::Dialog;
}

// Before a form first shows: the focus chain follows the tab indices, the focus starts on
// the first control that takes it, and Enter presses the default button, or the focused
// button where the form has a default one; on a form without one, Enter presses nothing.
void prepareFirstShow(Form &form)
{
    QWidget *previous = nullptr;
    for (Control *control : form.tabOrder()) {
        QWidget *next = qt::widget(*control);
        if (next->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, next);
        else
            next->setFocus();
        previous = next;
    }

    const CommandButton *designedDefault = form.defaultButton();
    for (Control *control : form.Controls()) {
        if (auto *button = dynamic_cast<CommandButton *>(control)) {
            auto &pushButton = as<QPushButton>(*button);
            pushButton.setAutoDefault(designedDefault != nullptr);
            pushButton.setDefault(button == designedDefault);
        }
    }

    QWidget &window = *qt::window(form);
    if (window.layout())
        window.layout()->setSizeConstraint(QLayout::SetFixedSize);
    window.adjustSize();
}

// The form's menu bar, made with its first entry: a main window's own, or one above a
// dialog's client area.
QMenuBar &menuBar(const Form &form)
{
    QWidget *window = qt::window(form);
    if (auto *mainWindow = qobject_cast<QMainWindow *>(window))
        return *mainWindow->menuBar();
    if (QLayout *layout = window->layout())
        return static_cast<QMenuBar &>(*layout->menuBar());
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(QMargins());
    layout->addWidget(qt::clientArea(form));
    auto *bar = new QMenuBar(window);
    layout->setMenuBar(bar);
    return *bar;
}

// Destroys an unloaded form once control is back in the event loop that unloaded it.
class FormDeleter : public QObject
{
public:
    explicit FormDeleter(std::unique_ptr<Form> form) : form_(std::move(form)) {}

private:
    std::unique_ptr<Form> form_;
};

} // namespace

// Forms

void Form::ImplDeleter::operator()(Impl *impl) const
{
    delete impl;
}

void Control::ImplDeleter::operator()(Impl *impl) const
{
    delete impl;
}

void MenuEntry::ImplDeleter::operator()(Impl *impl) const
{
    delete impl;
}

Form::Form(const FormDesign &design)
    : design_(design), life_(std::make_shared<Form *>(this)), impl_(new Impl)
{
    std::unique_ptr<QWidget> window;
    if (design.minButton)
        window = std::make_unique<MainWindow>(*this);
    else
        window = std::make_unique<DialogWindow>(*this);
    window->setWindowTitle(qt::toQString(design.caption));
    window->setWindowIcon(windowIcon(QString::fromLatin1(design.icon)));
    window->setWindowFlags(windowFlags(design));

    auto *clientArea = new ClientArea(*this, window.get());
    clientArea->setFont(qt::designFont());
    clientArea->setFixedSize(pixels(design.clientWidth), pixels(design.clientHeight));
    if (auto *mainWindow = qobject_cast<QMainWindow *>(window.get()))
        mainWindow->setCentralWidget(clientArea);
    else
        window->setFixedSize(clientArea->size());
    window->installEventFilter(new CentreOnFirstShow(*window));
    impl_->clientArea = clientArea;
    impl_->window = std::move(window);
}

Form::~Form()
{
    if (impl_->modalLoop)
        impl_->modalLoop->quit();
}

Text Form::Caption() const
{
    return qt::fromQString(impl_->window->windowTitle());
}

void Form::setCaption(const Text &caption)
{
    impl_->window->setWindowTitle(qt::toQString(caption));
}

void Form::Show()
{
    if (!impl_->shownBefore) {
        impl_->shownBefore = true;
        prepareFirstShow(*this);
    }
    impl_->window->show();
}

bool Form::Visible() const
{
    return impl_->window->isVisible();
}

void backend::hideWindow(Form &window)
{
    Form::Impl &impl = window.impl();
    if (impl.modalLoop)
        impl.modalLoop->quit();
    impl.window->hide();
}

void backend::destroyLater(std::unique_ptr<Form> window)
{
    // Deferred deletion owns the deleter, and the deleter the form.
    (new FormDeleter(std::move(window)))->deleteLater();
}

void backend::runModal(Form &window)
{
    QWidget &widget = *qt::window(window);
    widget.setWindowModality(Qt::ApplicationModal);
    window.Show();
    QEventLoop loop;
    window.impl().modalLoop = &loop;
    loop.exec(QEventLoop::DialogExec);
}

void backend::quitEventLoop()
{
    QCoreApplication::quit();
}

bool backend::isActive(const Form &window)
{
    return qt::window(window)->isActiveWindow();
}

void backend::requestAttention(Form &window, const Text &summary, const Text &body)
{
    QApplication::alert(qt::window(window));
    window.impl().notice =
        std::make_unique<qt::DesktopNotification>(qt::toQString(summary), qt::toQString(body));
}

// Controls

Control::~Control()
{
    if (impl_)
        delete impl_->widget.data();
}

Frame::Frame(Container &parent, const char *name, TwipsRect placement, int tabIndex, Text caption)
    : Control(parent, name, placement, tabIndex)
{
    attach(place<QGroupBox>(parent, *this, qt::toQString(caption)));
}

Text Frame::Caption() const
{
    return qt::fromQString(as<QGroupBox>(*this).title());
}

TextBox::TextBox(Container &parent, const char *name, TwipsRect placement, int tabIndex)
    : Control(parent, name, placement, tabIndex)
{
    attach(place<QLineEdit>(parent, *this));
    // Filled with the window colour, the box is opaque: rewriting its text repaints the box
    // alone, not the frame behind it, which costs Qt's Fusion style more than the box.
    auto &box = as<QLineEdit>(*this);
    box.setBackgroundRole(QPalette::Window);
    box.setAutoFillBackground(true);
}

std::u16string TextBox::Text() const
{
    return qt::fromQString(as<QLineEdit>(*this).text());
}

void TextBox::setText(const std::u16string &text)
{
    as<QLineEdit>(*this).setText(qt::toQString(text));
}

bool TextBox::Enabled() const
{
    return as<QLineEdit>(*this).isEnabled();
}

void TextBox::setEnabled(bool enabled)
{
    as<QLineEdit>(*this).setEnabled(enabled);
}

void TextBox::SetFocus()
{
    as<QLineEdit>(*this).setFocus();
}

Label::Label(Container &parent, const char *name, TwipsRect placement, int tabIndex, Text caption,
             LabelStyle style)
    : Control(parent, name, placement, tabIndex), style_(style)
{
    attach(place<CaptionLabel>(parent, *this, *this, qt::toQString(caption)));
    auto &label = as<CaptionLabel>(*this);
    label.setWordWrap(style.wordWrap);
    if (style.centred)
        label.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    if (style.font.kind == Font::Kind::Named)
        label.setFont(namedFont(style.font));
    if (style.blackText) {
        QPalette palette = label.palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        label.setPalette(palette);
    }
}

Text Label::Caption() const
{
    return qt::fromQString(as<QLabel>(*this).text());
}

void Label::setCaption(const Text &caption)
{
    as<CaptionLabel>(*this).setCaption(qt::toQString(caption));
}

void Label::captions(Control &control)
{
    QWidget *target = qt::widget(control);
    // A name would hide a label's own text from screen readers: it gets a description.
    if (qobject_cast<QLabel *>(target))
        target->setAccessibleDescription(as<QLabel>(*this).text());
    else
        as<QLabel>(*this).setBuddy(target);
}

CommandButton::CommandButton(Container &parent, const char *name, TwipsRect placement, int tabIndex,
                             Text caption, ButtonStyle style)
    : Control(parent, name, placement, tabIndex), Click(parent.form()), style_(std::move(style))
{
    attach(place<QPushButton>(parent, *this, qt::toQString(caption)));
    auto &button = as<QPushButton>(*this);
    if (style_.font.kind == Font::Kind::Named)
        button.setFont(namedFont(style_.font));
    QObject::connect(&button, &QPushButton::clicked, &button, [this] { Click.raise(); });
}

Text CommandButton::Caption() const
{
    return qt::fromQString(as<QPushButton>(*this).text());
}

Image::Image(Container &parent, const char *name, TwipsRect placement, const char *picture)
    : Control(parent, name, placement, -1), picture_(picture)
{
    attach(place<QLabel>(parent, *this));
    auto &image = as<QLabel>(*this);
    image.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image.setPixmap(QPixmap(QStringLiteral(":/images/%1.jpg").arg(QString::fromLatin1(picture))));
}

// Menus

MenuEntry::MenuEntry(Form &form, const char *name, Text caption, int index, Kind kind)
    : Click(form), form_(form), name_(name), caption_(std::move(caption)), index_(index),
      impl_(new Impl)
{
    QMenuBar &bar = menuBar(form);
    if (kind == Kind::DropDown) {
        impl_->menu = bar.addMenu(qt::toQString(caption_));
        impl_->menu->setObjectName(QString::fromLatin1(name));
        impl_->action = impl_->menu->menuAction();
    } else {
        impl_->action = bar.addAction(qt::toQString(caption_));
    }
    impl_->action->setObjectName(QString::fromLatin1(name));
    QObject::connect(impl_->action, &QAction::triggered, impl_->action,
                     [this] { Click.raise(index_); });
}

MenuEntry::MenuEntry(MenuEntry &dropDown, const char *name, Text caption, int index)
    : Click(dropDown.form()), form_(dropDown.form()), name_(name), caption_(std::move(caption)),
      index_(index), impl_(new Impl)
{
    impl_->action = dropDown.impl().menu->addAction(qt::toQString(caption_));
    impl_->action->setObjectName(QString::fromLatin1(name));
    QObject::connect(impl_->action, &QAction::triggered, impl_->action,
                     [this] { Click.raise(index_); });
}

MenuEntry::~MenuEntry()
{
    if (impl_->menu)
        delete impl_->menu.data();
    else
        delete impl_->action.data();
}

} // namespace ampero
