#pragma once

// The forms runtime as the program's windows see it: forms, the controls placed on them,
// menus, and the services every handler relies on. Nothing here names a toolkit. Each
// platform's backend (runtime/qt/, runtime/win32/) defines the Impl of Form and of Control
// and the functions marked "backend" below; everything else is written once, in forms.cpp.

#include "handler.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <typeindex>
#include <vector>

namespace ampero {

using Text = std::u16string;

// A place and size in twips, from the top-left corner of the client area of the form, or
// of the frame, that holds the control.
struct TwipsRect
{
    int left;
    int top;
    int width;
    int height;
};

struct Colour
{
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

// The font a control's text is drawn in: the forms' own (the default), the system's dialog
// font, or a face of the design's own at a size in points. The backend picks a substitute
// for a face that isn't installed.
struct Font
{
    enum class Kind { Form, SystemDialog, Named };
    Kind kind = Kind::Form;
    Text face{};
    double points = 0;
    bool bold = false;
};

enum class BorderStyle {
    FixedSingle, // a fixed frame with a title bar; the window can't be resized
    FixedDialog, // a fixed dialog frame
};

struct FormDesign
{
    Text caption;
    const char *icon; // a window icon among the program's resources: "form1", "form2"
    int clientWidth;  // twips, the client area below the menu bar
    int clientHeight;
    BorderStyle border;
    bool minButton;
    bool showInTaskbar;
};

class Control;
class Form;
class FormTimer;

// Something controls are placed on: a form's client area or a frame.
class Container
{
public:
    Container(const Container &) = delete;
    Container &operator=(const Container &) = delete;

    virtual Form &form() = 0;
    // The frame this is, or null for a form's client area: where the backend puts the
    // native controls placed here.
    virtual Control *asControl() = 0;

protected:
    Container() = default;
    ~Container() = default;
};

// Every control: its name, its place in twips and its tab index (-1 for none). It is
// created by its owner's constructor and destroyed with it.
class Control
{
public:
    struct Impl; // backend
    struct ImplDeleter
    {
        void operator()(Impl *impl) const; // backend
    };
    Control(const Control &) = delete;
    Control &operator=(const Control &) = delete;
    virtual ~Control();

    const char *Name() const { return name_; }
    const TwipsRect &Placement() const { return placement_; }
    int TabIndex() const { return tabIndex_; }
    Container &Parent() const { return parent_; }
    Impl &impl() const { return *impl_; }

protected:
    Control(Container &parent, const char *name, TwipsRect placement, int tabIndex);
    void attach(std::unique_ptr<Impl, ImplDeleter> impl) { impl_ = std::move(impl); }

private:
    Container &parent_;
    const char *name_;
    TwipsRect placement_;
    int tabIndex_;
    std::unique_ptr<Impl, ImplDeleter> impl_;
};

// A frame with a caption, holding controls of its own.
class Frame : public Control, public Container
{
public:
    Frame(Container &parent, const char *name, TwipsRect placement, int tabIndex, Text caption);

    Text Caption() const;

    Form &form() override { return Parent().form(); }
    Control *asControl() override { return this; }
};

class TextBox : public Control
{
public:
    TextBox(Container &parent, const char *name, TwipsRect placement, int tabIndex);

    std::u16string Text() const;
    void setText(const std::u16string &text);
    // A disabled box shows its text but can't be edited or focused.
    bool Enabled() const;
    void setEnabled(bool enabled);
    void SetFocus();
};

struct LabelStyle
{
    bool wordWrap = false;
    bool centred = false;
    Font font;
    bool blackText = false; // black whatever the desktop's colours, else the system's text colour
};

class Label : public Control
{
public:
    Label(Container &parent, const char *name, TwipsRect placement, int tabIndex, Text caption,
          LabelStyle style = {});

    Text Caption() const;
    void setCaption(const Text &caption);
    // Tells screen readers that this label captions the control: it names a control the
    // user can type into or press, and describes one that only shows a value.
    void captions(Control &control);

    // Whether a caption of that width is cut in a box of that width: only a caption kept on
    // one line is. A cut caption ends in an ellipsis, and has the whole of it as its tooltip.
    bool isCut(int captionWidth, int boxWidth) const;

private:
    LabelStyle style_;
};

struct ButtonStyle
{
    bool isDefault = false; // pressed by Enter, unless another button has the focus
    bool isCancel = false;  // pressed by Escape
    Font font;
};

// A push button. A "&" in its caption marks the next letter as its access key.
class CommandButton : public Control
{
public:
    CommandButton(Container &parent, const char *name, TwipsRect placement, int tabIndex,
                  Text caption, ButtonStyle style = {});

    Text Caption() const;
    const ButtonStyle &Style() const { return style_; }
    Event<> Click;

private:
    ButtonStyle style_;
};

// A picture from the program's resources, shown at its own size from the top-left corner.
class Image : public Control
{
public:
    Image(Container &parent, const char *name, TwipsRect placement, const char *picture);
    const char *Picture() const { return picture_; }

private:
    const char *picture_;
};

// A straight line drawn on the form's background, below every control. Lines are drawn in
// ascending draw order, those of one order as they were added; its width is in pixels,
// centred on the line.
struct Line
{
    int x1;
    int y1;
    int x2;
    int y2;
    Colour colour;
    int widthPixels;
    int drawOrder;
};

// An entry of a form's menu bar, or of a drop-down on it. A drop-down holds entries of its
// own; a command raises Click with the entry's index.
class MenuEntry
{
public:
    struct Impl; // backend
    struct ImplDeleter
    {
        void operator()(Impl *impl) const; // backend
    };
    enum class Kind { DropDown, Command };
    MenuEntry(Form &form, const char *name, Text caption, int index, Kind kind);
    MenuEntry(MenuEntry &dropDown, const char *name, Text caption, int index);
    MenuEntry(const MenuEntry &) = delete;
    MenuEntry &operator=(const MenuEntry &) = delete;
    ~MenuEntry();

    const char *Name() const { return name_; }
    const Text &Caption() const { return caption_; }
    int Index() const { return index_; }
    Form &form() const { return form_; }
    Impl &impl() const { return *impl_; }
    Event<int> Click;

private:
    Form &form_;
    const char *name_;
    Text caption_;
    int index_;
    std::unique_ptr<Impl, ImplDeleter> impl_;
};

// A window of the program. Its class builds the designed controls as members; the backend
// makes the window, centres it when it first opens, and unloads it on its close button,
// unless a window shown modally keeps it from taking input. A menu goes on any form that
// declares one, and Escape presses the cancel button of any form that has one.
class Form : public Container
{
public:
    struct Impl; // backend
    struct ImplDeleter
    {
        void operator()(Impl *impl) const; // backend
    };
    explicit Form(const FormDesign &design);
    virtual ~Form();

    const FormDesign &Design() const { return design_; }
    Text Caption() const;
    void setCaption(const Text &caption);
    // Shows the window without waiting.
    void Show();
    bool Visible() const;
    // Asks the desktop to draw the user's eye to the window, unless it is the active one:
    // the window is marked as wanting attention (its task-bar entry flashes) and, where the
    // desktop shows notifications, one with the summary and body stays up until the window
    // goes.
    void requestAttention(const Text &summary, const Text &body);

    // The lines drawn on the window's background, in draw order; each stays the window's
    // member.
    void addLine(const Line &line);
    const std::vector<const Line *> &Lines() const { return lines_; }

    // Every control and timer of the window, registered as they are created.
    const std::vector<Control *> &Controls() const { return controls_; }
    const std::vector<FormTimer *> &Timers() const { return timers_; }

    // The controls in the order Tab moves through them: by tab index, those without one last.
    std::vector<Control *> tabOrder() const;
    // The button Enter presses unless another button has the focus, and the one Escape
    // presses; null where the form has none.
    CommandButton *defaultButton() const;
    CommandButton *cancelButton() const;

    Form &form() override { return *this; }
    Control *asControl() override { return nullptr; }
    Impl &impl() const { return *impl_; }

    // Holds the window by a guarded pointer: expired once the window is destroyed.
    std::weak_ptr<Form *> guard() const { return life_; }
    bool loaded() const { return loaded_; }

private:
    friend class Control;
    friend class FormTimer;
    friend void unload(Form &window);
    friend void runHandler(Form *form, const std::function<void()> &handler);

    FormDesign design_;
    std::vector<Control *> controls_;
    std::vector<FormTimer *> timers_;
    std::vector<const Line *> lines_;
    bool loaded_ = true;
    int runningHandlers_ = 0;
    std::shared_ptr<Form *> life_;
    std::unique_ptr<Impl, ImplDeleter> impl_;
};

namespace detail {
std::unique_ptr<Form> &sharedSlot(std::type_index windowClass);
bool anyWindowLoaded();
// Destroys every window the runtime still holds, which ends the program's run: the start-up
// does so before the application goes. A run after it starts afresh, not ended.
void destroyAllWindows();
} // namespace detail

// The shared instance of a window class: created in its designed state on first
// reference, and again on the first reference after it was unloaded.
template <class Window> Window &shared()
{
    std::unique_ptr<Form> &slot = detail::sharedSlot(typeid(Window));
    if (!slot)
        slot = std::make_unique<Window>();
    return static_cast<Window &>(*slot);
}

template <class Window> bool isLoaded()
{
    return detail::sharedSlot(typeid(Window)) != nullptr;
}

// Shows the window modally, with no owner: no other window takes input until it is
// unloaded, and only then does this return.
void showModal(Form &window);

// Closes the window, stops its timers and destroys it with its controls; the next
// reference to its shared instance creates it anew. Safe to call from the window's own
// handlers, however deep: the window is destroyed once none of its handlers is running
// and control is back in the event loop. The program ends when its last window is
// unloaded.
void unload(Form &window);

// Ends the program at once: every window goes, and no further handler runs.
void end();
bool hasEnded();

// The start-up: runs the backend's application, shows the start window without waiting for
// it and runs the event loop until the program ends. Every window is destroyed before the
// application is.
int runApplication(int argc, char **argv, const std::function<void()> &showStartWindow);

// Shows the program's start window. The program defines it (main/); a backend whose
// system enters programs elsewhere than main() passes it to runApplication itself.
void showStartWindow();

namespace backend {
// What the toolkit-free runtime asks of the platform.
void hideWindow(Form &window); // unloading: hide, end its modal loop
// Once control is back in the event loop; no handler of the window is running.
void destroyLater(std::unique_ptr<Form> window);
void runModal(Form &window); // until the window is unloaded or destroyed
void quitEventLoop();
bool isActive(const Form &window); // the window the user works in
void requestAttention(Form &window, const Text &summary, const Text &body);
} // namespace backend

} // namespace ampero
