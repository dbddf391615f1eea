// Forms, controls and menus as windows of the system's own classes.

#include "dpi_win32.h"
#include "fonts_win32.h"
#include "resource_ids.h"
#include "run_error.h"
#include "twips.h"
#include "win32_forms.h"

#include <algorithm>
#include <commctrl.h>
#include <cstring>
#include <map>
#include <optional>
#include <string>

namespace ampero {

using win32::wide;
using win32::windowOf;

namespace {

struct NamedResource
{
    const char *name;
    int number;
};
constexpr NamedResource resourceNumbers[] = {
    {"form1", AMPERO_ICON_FORM1},
    {"form2", AMPERO_ICON_FORM2},
    {"about-logo", AMPERO_BITMAP_ABOUT_LOGO},
};

int resourceNumber(const char *name)
{
    for (const NamedResource &resource : resourceNumbers)
        if (std::strcmp(resource.name, name) == 0)
            return resource.number;
    throw RunError(ErrorNumber::InvalidArgument);
}

int pixels(int twips, UINT dpi)
{
    return twipsToPixels(twips, dpi);
}

// Lengths designed in pixels at 96 DPI.
int scaled(int pixelsAt96, UINT dpi)
{
    return MulDiv(pixelsAt96, static_cast<int>(dpi), 96);
}

bool sameDesign(const Font &one, const Font &other)
{
    return one.kind == other.kind && one.face == other.face && one.points == other.points &&
           one.bold == other.bold;
}

LRESULT CALLBACK formProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *form = reinterpret_cast<Form::Impl *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form)
        return DefWindowProcW(window, message, wParam, lParam);
    return form->handle(message, wParam, lParam);
}

// A window's icons for the title bar and the task bar at a DPI.
struct WindowIcons
{
    win32::IconHandle big;
    win32::IconHandle small;
};

WindowIcons loadWindowIcons(const char *icon, UINT dpi)
{
    const auto load = [&](int width, int height) {
        return win32::IconHandle(static_cast<HICON>(
            LoadImageW(win32::instance(), MAKEINTRESOURCEW(resourceNumber(icon)), IMAGE_ICON,
                       win32::systemMetric(width, dpi), win32::systemMetric(height, dpi), 0)));
    };
    return {load(SM_CXICON, SM_CYICON), load(SM_CXSMICON, SM_CYSMICON)};
}

struct FormClass
{
    std::wstring name;
    WindowIcons icons;
    UINT iconsDpi;
};

// The window class of the forms with that icon, which it gives them at the system's DPI: a
// window made with its icons has them converted for the screen once, where each icon set
// afterwards has both converted again (as Wine's X11 driver does).
const FormClass &formClass(const char *icon)
{
    static std::map<std::string, FormClass> classes;
    if (const auto found = classes.find(icon); found != classes.end())
        return found->second;
    const UINT dpi = win32::systemDpi();
    FormClass formClass{std::wstring(win32::formClassPrefix) +
                            std::wstring(icon, icon + std::strlen(icon)),
                        loadWindowIcons(icon, dpi), dpi};
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = formProcedure;
    windowClass.hInstance = win32::instance();
    windowClass.hIcon = formClass.icons.big.get();
    windowClass.hIconSm = formClass.icons.small.get();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = formClass.name.c_str();
    if (!RegisterClassExW(&windowClass))
        throw RunError(ErrorNumber::OutOfMemory);
    return classes.emplace(icon, std::move(formClass)).first->second;
}

// A frame is the parent of its controls, but a group box keeps their notifications and
// colour requests to itself: they go on to the form. Nor does a group box paint its inside,
// which the form doesn't paint either, since it leaves out its children.
LRESULT CALLBACK frameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                UINT_PTR subclass, DWORD_PTR)
{
    switch (message) {
    case WM_ERASEBKGND: {
        RECT inside{};
        GetClientRect(window, &inside);
        FillRect(reinterpret_cast<HDC>(wParam), &inside, GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
        return SendMessageW(GetAncestor(window, GA_ROOT), message, wParam, lParam);
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, frameProcedure, subclass);
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

HWND parentWindow(Container &container)
{
    Control *control = container.asControl();
    return control ? windowOf(*control) : windowOf(container.form());
}

struct ChildDesign
{
    Control::Impl::Kind kind;
    const wchar_t *className;
    DWORD style;
    DWORD extendedStyle;
    Font font;
};

using ControlImpl = std::unique_ptr<Control::Impl, Control::ImplDeleter>;

ControlImpl createChild(Control &control, const ChildDesign &design, const Text &text)
{
    Form &form = control.Parent().form();
    const std::vector<Control *> &controls = form.Controls();
    const auto position = std::find(controls.begin(), controls.end(), &control) - controls.begin();
    const int identifier = win32::firstControlIdentifier + static_cast<int>(position);
    HWND parent = parentWindow(control.Parent());
    const UINT dpi = form.impl().dpi;
    const TwipsRect &place = control.Placement();
    HWND window = CreateWindowExW(
        design.extendedStyle, design.className, wide(text), WS_CHILD | WS_VISIBLE | design.style,
        pixels(place.left, dpi), pixels(place.top, dpi), pixels(place.width, dpi),
        pixels(place.height, dpi), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(identifier)), win32::instance(), nullptr);
    if (!window)
        throw RunError(ErrorNumber::OutOfMemory);
    ControlImpl impl(new Control::Impl);
    impl->kind = design.kind;
    impl->font = design.font;
    impl->window.reset(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control));
    return impl;
}

// The top left corner of a window of that size centred on the monitor's work area.
POINT centredOn(HMONITOR monitor, SIZE outer)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    const RECT &screen = info.rcWork;
    return {screen.left + (screen.right - screen.left - outer.cx) / 2,
            screen.top + (screen.bottom - screen.top - outer.cy) / 2};
}

SIZE clientSize(const FormDesign &design, UINT dpi)
{
    return {pixels(design.clientWidth, dpi), pixels(design.clientHeight, dpi)};
}

// The text a control shows and the box it has to fit, for choosing its font.
std::optional<win32::TextInBox> textInBox(const Control &control, UINT dpi)
{
    const Control::Impl &impl = control.impl();
    const SIZE box{pixels(control.Placement().width, dpi), pixels(control.Placement().height, dpi)};
    const std::u16string &text = impl.fittedText;
    switch (impl.kind) {
    case Control::Impl::Kind::Frame:
        // The caption sits in the frame's top edge, after a gap from the corner.
        return win32::TextInBox{text, box, {scaled(8, dpi), 0}, DT_SINGLELINE};
    case Control::Impl::Kind::TextBox:
        return win32::TextInBox{text, box, {scaled(2, dpi), scaled(2, dpi)}, DT_SINGLELINE};
    case Control::Impl::Kind::Label:
        return win32::TextInBox{
            text,
            box,
            {0, 0},
            static_cast<UINT>(DT_NOPREFIX | (impl.wordWrap ? DT_WORDBREAK : DT_SINGLELINE))};
    case Control::Impl::Kind::CommandButton:
        return win32::TextInBox{text, box, {scaled(4, dpi), scaled(2, dpi)}, DT_SINGLELINE};
    case Control::Impl::Kind::Image:
        break;
    }
    return std::nullopt;
}

// A picture of the program's resources, drawn for 96 DPI, at the window's DPI.
win32::BitmapHandle scaledPicture(const char *picture, UINT dpi)
{
    win32::BitmapHandle original(static_cast<HBITMAP>(
        LoadImageW(win32::instance(), MAKEINTRESOURCEW(resourceNumber(picture)), IMAGE_BITMAP, 0, 0,
                   LR_CREATEDIBSECTION)));
    if (!original)
        throw RunError(ErrorNumber::OutOfMemory);
    if (dpi == 96)
        return original;
    BITMAP size{};
    GetObjectW(original.get(), sizeof size, &size);
    const int width = scaled(size.bmWidth, dpi);
    const int height = scaled(size.bmHeight, dpi);
    const win32::ScreenContext screen(GetDC(nullptr));
    win32::BitmapHandle result(CreateCompatibleBitmap(screen.get(), width, height));
    const win32::MemoryContext from(CreateCompatibleDC(screen.get()));
    const win32::MemoryContext to(CreateCompatibleDC(screen.get()));
    if (!result || !from || !to)
        throw RunError(ErrorNumber::OutOfMemory);
    const win32::Selection source(from.get(), original.get());
    const win32::Selection target(to.get(), result.get());
    SetStretchBltMode(to.get(), HALFTONE);
    SetBrushOrgEx(to.get(), 0, 0, nullptr);
    StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, size.bmWidth, size.bmHeight,
               SRCCOPY);
    return result;
}

} // namespace

std::u16string win32::windowText(HWND window)
{
    std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(window)), u'\0');
    const int copied = GetWindowTextW(window, reinterpret_cast<wchar_t *>(text.data()),
                                      static_cast<int>(text.size()) + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

Control *win32::controlOf(HWND window)
{
    return reinterpret_cast<Control *>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

Control::Impl::~Impl()
{
    if (window)
        SetWindowLongPtrW(window.get(), GWLP_USERDATA, 0);
}

void Control::ImplDeleter::operator()(Impl *impl) const
{
    delete impl;
}

void Form::ImplDeleter::operator()(Impl *impl) const
{
    delete impl;
}

void MenuEntry::ImplDeleter::operator()(Impl *impl) const
{
    delete impl;
}

Control::~Control() = default;

Form::Form(const FormDesign &design)
    : design_(design), life_(std::make_shared<Form *>(this)), impl_(new Impl(*this))
{
}

Form::~Form() = default;

Form::Impl::~Impl()
{
    detach();
    std::erase(win32::programWindows(), window.get());
}

void Form::Impl::detach()
{
    if (window)
        SetWindowLongPtrW(window.get(), GWLP_USERDATA, 0);
}

HWND Form::Impl::windowHandle()
{
    if (!window)
        createWindow();
    return window.get();
}

HMENU Form::Impl::menuBar()
{
    if (!window) {
        if (!menuBarBeforeWindow)
            menuBarBeforeWindow.reset(CreateMenu());
        return menuBarBeforeWindow.get();
    }
    HMENU bar = GetMenu(window.get());
    if (!bar) {
        bar = CreateMenu();
        SetMenu(window.get(), bar);
    }
    return bar;
}

void Form::Impl::createWindow()
{
    const FormDesign &design = form.Design();
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN |
                        (design.minButton ? WS_MINIMIZEBOX : 0);
    const DWORD extendedStyle =
        WS_EX_CONTROLPARENT | (design.border == BorderStyle::FixedDialog ? WS_EX_DLGMODALFRAME : 0);
    // A window that is not shown in the task bar is owned by the program's hidden window:
    // the task bar lists only windows without an owner, and a hidden owner never stands in
    // the window's way.
    HWND owner = design.showInTaskbar ? nullptr : win32::helperWindow();
    const FormClass &windowClass = formClass(design.icon);
    // Made in its place and at its size for the primary screen at the system's DPI, where it
    // opens unless the user has changed that screen's scale since signing in: there its
    // first show neither moves nor resizes it.
    const UINT expectedDpi = win32::systemDpi();
    const SIZE outer = win32::windowSizeAround(style, extendedStyle, menuBarBeforeWindow != nullptr,
                                               clientSize(design, expectedDpi), expectedDpi);
    const POINT topLeft = centredOn(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), outer);
    HWND created = CreateWindowExW(extendedStyle, windowClass.name.c_str(), wide(design.caption),
                                   style, topLeft.x, topLeft.y, outer.cx, outer.cy, owner,
                                   menuBarBeforeWindow.get(), win32::instance(), nullptr);
    if (!created)
        throw RunError(ErrorNumber::OutOfMemory);
    // The window destroys its menu bar.
    static_cast<void>(menuBarBeforeWindow.release());
    window.reset(created);
    win32::programWindows().push_back(created);
    SetWindowLongPtrW(created, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // The controls are made in pixels for this DPI; should the window have another, its first
    // show lays it out again.
    dpi = win32::dpiOf(created);
    iconsDpi = windowClass.iconsDpi;
}

void Form::Impl::prepareFirstShow()
{
    for (Control *control : form.Controls())
        control->impl().fittedText = win32::windowText(windowOf(*control));
    arrangeTabOrder();
    layout(win32::dpiOf(windowHandle()));
}

void Form::Impl::layout(UINT newDpi)
{
    // The controls were made in pixels for the DPI the window had then; before the window
    // is on the screen, nothing needs drawing again.
    const bool rescaled = newDpi != dpi;
    const BOOL visible = IsWindowVisible(window.get());
    dpi = newDpi;
    // One font for each design of font among the controls, in which all their texts fit.
    std::vector<std::pair<Font, win32::FontHandle>> chosen;
    for (Control *control : form.Controls()) {
        const Font &design = control->impl().font;
        if (control->impl().kind == Control::Impl::Kind::Image ||
            std::any_of(chosen.begin(), chosen.end(),
                        [&](const auto &font) { return sameDesign(font.first, design); }))
            continue;
        std::vector<win32::TextInBox> texts;
        for (Control *other : form.Controls())
            if (sameDesign(other->impl().font, design))
                if (std::optional<win32::TextInBox> text = textInBox(*other, dpi))
                    texts.push_back(*text);
        chosen.emplace_back(design, win32::fittingFont(design, dpi, texts));
    }
    for (Control *control : form.Controls()) {
        Control::Impl &child = control->impl();
        if (child.kind == Control::Impl::Kind::Image) {
            win32::BitmapHandle picture =
                scaledPicture(static_cast<Image *>(control)->Picture(), dpi);
            SendMessageW(child.window.get(), STM_SETIMAGE, IMAGE_BITMAP,
                         reinterpret_cast<LPARAM>(picture.get()));
            child.picture = std::move(picture);
        }
        const auto font = std::find_if(chosen.begin(), chosen.end(), [&](const auto &entry) {
            return sameDesign(entry.first, child.font);
        });
        if (font != chosen.end())
            SendMessageW(child.window.get(), WM_SETFONT,
                         reinterpret_cast<WPARAM>(font->second.get()), visible);
        const TwipsRect &place = control->Placement();
        if (rescaled)
            SetWindowPos(child.window.get(), nullptr, pixels(place.left, dpi),
                         pixels(place.top, dpi), pixels(place.width, dpi),
                         pixels(place.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    fonts = std::move(chosen);
    for (Control *control : form.Controls())
        if (control->impl().kind == Control::Impl::Kind::Label)
            updateCaptionTip(static_cast<Label &>(*control));
    loadIcons();
    placeWindow();
    if (visible)
        InvalidateRect(window.get(), nullptr, TRUE);
}

void Form::Impl::loadIcons()
{
    if (iconsDpi == dpi)
        return;
    WindowIcons icons = loadWindowIcons(form.Design().icon, dpi);
    SendMessageW(window.get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons.big.get()));
    SendMessageW(window.get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons.small.get()));
    bigIcon = std::move(icons.big);
    smallIcon = std::move(icons.small);
    iconsDpi = dpi;
}

void Form::Impl::placeWindow()
{
    const SIZE client = clientSize(form.Design(), dpi);
    SIZE outer =
        win32::windowSizeAround(static_cast<DWORD>(GetWindowLongW(window.get(), GWL_STYLE)),
                                static_cast<DWORD>(GetWindowLongW(window.get(), GWL_EXSTYLE)),
                                GetMenu(window.get()) != nullptr, client, dpi);
    const HMONITOR monitor = MonitorFromWindow(window.get(), MONITOR_DEFAULTTOPRIMARY);
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT current{};
        GetWindowRect(window.get(), &current);
        POINT topLeft{current.left, current.top};
        if (!IsWindowVisible(window.get()))
            topLeft = centredOn(monitor, outer);
        const RECT wanted{topLeft.x, topLeft.y, topLeft.x + outer.cx, topLeft.y + outer.cy};
        if (!EqualRect(&wanted, &current))
            SetWindowPos(window.get(), nullptr, wanted.left, wanted.top, outer.cx, outer.cy,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        // A menu bar may wrap onto another line at this width.
        RECT now{};
        GetClientRect(window.get(), &now);
        if (now.right == client.cx && now.bottom == client.cy)
            return;
        outer.cx += client.cx - now.right;
        outer.cy += client.cy - now.bottom;
    }
}

void Form::Impl::arrangeTabOrder()
{
    // Tab moves the focus through a window's controls in their stacking order, so each
    // container's controls are stacked in the order of their tab indices, those without one
    // last. A label that captions a control goes right before it: screen readers name a
    // control after the label before it.
    std::vector<Control *> order = form.tabOrder();
    for (const auto &[label, control] : captionedControls) {
        order.erase(std::find(order.begin(), order.end(), label));
        order.insert(std::find(order.begin(), order.end(), control), label);
    }
    std::map<HWND, HWND> lastOfParent;
    for (Control *control : order) {
        HWND child = windowOf(*control);
        const auto [last, first] = lastOfParent.try_emplace(GetParent(child), HWND_TOP);
        // HWND_TOP is null, as is the window above the topmost one.
        if (GetWindow(child, GW_HWNDPREV) != last->second)
            SetWindowPos(child, last->second, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        last->second = child;
    }
}

CommandButton *Form::Impl::defaultButton(HWND focus) const
{
    // On a window with a default button, Enter presses the focused button, which shows it;
    // with the focus elsewhere, Enter presses the designed default button. A window without
    // one has no default button, whatever has the focus.
    CommandButton *designedDefault = form.defaultButton();
    if (!designedDefault)
        return nullptr;
    auto *focused = dynamic_cast<CommandButton *>(win32::controlOf(focus));
    return focused && IsChild(window.get(), focus) ? focused : designedDefault;
}

void Form::Impl::updateDefaultButton(HWND focus)
{
    CommandButton *current = defaultButton(focus);
    if (!current)
        return;
    for (Control *control : form.Controls())
        if (dynamic_cast<CommandButton *>(control))
            SendMessageW(windowOf(*control), BM_SETSTYLE,
                         BS_NOTIFY | (control == current ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), TRUE);
}

void Form::Impl::pressCancelButton()
{
    CommandButton *button = form.cancelButton();
    if (button && IsWindowEnabled(windowOf(*button)))
        button->Click.raise();
}

void Form::Impl::command(int identifier, int code, HWND child)
{
    if (!child) {
        // Escape, as the dialog manager passes it on; Enter comes as the default button's
        // click, and a window without a default button has nothing for it.
        if (identifier == IDCANCEL) {
            pressCancelButton();
            return;
        }
        const auto entry = menuCommands.find(static_cast<UINT>(identifier));
        if (code == 0 && entry != menuCommands.end())
            entry->second->Click.raise(entry->second->Index());
        return;
    }
    Control *control = win32::controlOf(child);
    if (!control)
        return;
    if (code == BN_SETFOCUS || code == EN_SETFOCUS)
        updateDefaultButton(child);
    else if (auto *button = dynamic_cast<CommandButton *>(control); button && code == BN_CLICKED)
        button->Click.raise();
}

void Form::Impl::activated(bool active)
{
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(window.get(), focus))
            lastFocus = focus;
        return;
    }
    // A window disabled by a modal one never stays in front of it.
    if (!IsWindowEnabled(window.get())) {
        if (HWND modal = win32::modalWindow())
            PostMessageW(modal, win32::bringForwardMessage, 0, 0);
        return;
    }
    restoreFocus();
}

void Form::Impl::restoreFocus()
{
    HWND target = lastFocus;
    if (!target || !IsWindow(target) || !IsChild(window.get(), target) || !IsWindowEnabled(target))
        target = GetNextDlgTabItem(window.get(), nullptr, FALSE);
    if (target)
        SetFocus(target);
}

void Form::Impl::paintLines()
{
    PAINTSTRUCT paint;
    HDC context = BeginPaint(window.get(), &paint);
    for (const Line *line : form.Lines()) {
        const LOGBRUSH colour{BS_SOLID,
                              RGB(line->colour.red, line->colour.green, line->colour.blue), 0};
        const win32::PenHandle pen(ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT,
                                                static_cast<DWORD>(line->widthPixels), &colour, 0,
                                                nullptr));
        const win32::Selection selected(context, pen.get());
        MoveToEx(context, pixels(line->x1, dpi), pixels(line->y1, dpi), nullptr);
        LineTo(context, pixels(line->x2, dpi), pixels(line->y2, dpi));
    }
    EndPaint(window.get(), &paint);
}

LRESULT Form::Impl::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case DM_GETDEFID:
        // The dialog manager asks which button Enter presses.
        if (CommandButton *button = defaultButton(GetFocus()))
            return MAKELRESULT(GetDlgCtrlID(windowOf(*button)), DC_HASDEFID);
        return 0;
    case WM_CTLCOLORSTATIC:
        if (Control *control = win32::controlOf(reinterpret_cast<HWND>(lParam));
            control && control->impl().kind == Control::Impl::Kind::Label) {
            HDC context = reinterpret_cast<HDC>(wParam);
            SetTextColor(context,
                         control->impl().blackText ? RGB(0, 0, 0) : GetSysColor(COLOR_BTNTEXT));
            SetBkColor(context, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_PAINT:
        paintLines();
        return 0;
    case WM_ACTIVATE:
        activated(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_SETFOCUS:
        restoreFocus();
        return 0;
    case win32::bringForwardMessage:
        SetForegroundWindow(window.get());
        return 0;
    case WM_DPICHANGED:
        runHandler(&form, [&] {
            const RECT *suggested = reinterpret_cast<const RECT *>(lParam);
            SetWindowPos(window.get(), nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            layout(HIWORD(wParam));
        });
        return 0;
    case WM_CLOSE:
        // A window disabled behind a modal one takes no input: the system's requests to
        // close every window (ending the program from the task manager) included.
        if (IsWindowEnabled(window.get()))
            runHandler(&form, [this] { unload(form); });
        return 0;
    }
    return DefWindowProcW(window.get(), message, wParam, lParam);
}

Text Form::Caption() const
{
    return win32::windowText(windowOf(*this));
}

void Form::setCaption(const Text &caption)
{
    SetWindowTextW(windowOf(*this), wide(caption));
}

void Form::Show()
{
    if (!impl_->shownBefore) {
        impl_->shownBefore = true;
        impl_->prepareFirstShow();
    }
    ShowWindow(windowOf(*this), SW_SHOW);
}

bool Form::Visible() const
{
    return IsWindowVisible(windowOf(*this));
}

bool backend::isActive(const Form &window)
{
    return GetForegroundWindow() == windowOf(window);
}

// The window and its task-bar button flash until it comes to the front: that is how Windows
// draws the eye, and it has no notification for the summary and body to go in.
void backend::requestAttention(Form &window, const Text & /*summary*/, const Text & /*body*/)
{
    FLASHWINFO flash{sizeof flash, windowOf(window), FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
}

Frame::Frame(Container &parent, const char *name, TwipsRect placement, int tabIndex, Text caption)
    : Control(parent, name, placement, tabIndex)
{
    attach(createChild(
        *this, {Control::Impl::Kind::Frame, L"BUTTON", BS_GROUPBOX, WS_EX_CONTROLPARENT, {}},
        caption));
    SetWindowSubclass(windowOf(*this), frameProcedure, 0, 0);
}

Text Frame::Caption() const
{
    return win32::windowText(windowOf(*this));
}

TextBox::TextBox(Container &parent, const char *name, TwipsRect placement, int tabIndex)
    : Control(parent, name, placement, tabIndex)
{
    attach(createChild(
        *this,
        {Control::Impl::Kind::TextBox, L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, {}},
        u""));
}

std::u16string TextBox::Text() const
{
    return win32::windowText(windowOf(*this));
}

void TextBox::setText(const std::u16string &text)
{
    SetWindowTextW(windowOf(*this), wide(text));
}

bool TextBox::Enabled() const
{
    return IsWindowEnabled(windowOf(*this));
}

void TextBox::setEnabled(bool enabled)
{
    EnableWindow(windowOf(*this), enabled);
}

void TextBox::SetFocus()
{
    ::SetFocus(windowOf(*this));
}

Label::Label(Container &parent, const char *name, TwipsRect placement, int tabIndex, Text caption,
             LabelStyle style)
    : Control(parent, name, placement, tabIndex), style_(style)
{
    // A left-aligned caption on one line ends in an ellipsis where it doesn't fit; the
    // window text stays whole for screen readers and the tooltip. SS_NOTIFY lets the label
    // see the mouse for its tooltip.
    const DWORD alignment = style.centred    ? SS_CENTER
                            : style.wordWrap ? SS_LEFT
                                             : SS_LEFT | SS_ENDELLIPSIS | SS_NOTIFY;
    attach(createChild(
        *this, {Control::Impl::Kind::Label, L"STATIC", SS_NOPREFIX | alignment, 0, style.font},
        caption));
    impl().wordWrap = style.wordWrap;
    impl().blackText = style.blackText;
}

Text Label::Caption() const
{
    return win32::windowText(windowOf(*this));
}

void Label::setCaption(const Text &caption)
{
    SetWindowTextW(windowOf(*this), wide(caption));
    Parent().form().impl().updateCaptionTip(*this);
}

void Form::Impl::updateCaptionTip(Label &label)
{
    HWND labelWindow = label.impl().window.get();
    const std::u16string caption = win32::windowText(labelWindow);
    RECT box{};
    GetClientRect(labelWindow, &box);
    win32::ScreenContext screen(GetDC(nullptr));
    const win32::Selection font(
        screen.get(), reinterpret_cast<HGDIOBJ>(SendMessageW(labelWindow, WM_GETFONT, 0, 0)));
    SIZE needed{};
    GetTextExtentPoint32W(screen.get(), wide(caption), static_cast<int>(caption.size()), &needed);
    const bool cut = label.isCut(needed.cx, box.right);

    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window.get();
    tool.uId = reinterpret_cast<UINT_PTR>(labelWindow);
    if (!cut) {
        if (captionTips)
            SendMessageW(captionTips.get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        return;
    }
    if (!captionTips) {
        captionTips.reset(CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr,
                                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window.get(),
                                          nullptr, win32::instance(), nullptr));
        if (!captionTips)
            return;
    }
    tool.lpszText = const_cast<wchar_t *>(wide(caption));
    SendMessageW(captionTips.get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(captionTips.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Label::captions(Control &control)
{
    Parent().form().impl().captionedControls.emplace_back(this, &control);
}

CommandButton::CommandButton(Container &parent, const char *name, TwipsRect placement, int tabIndex,
                             Text caption, ButtonStyle style)
    : Control(parent, name, placement, tabIndex), Click(parent.form()), style_(style)
{
    const DWORD kind = style.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    attach(createChild(*this,
                       {Control::Impl::Kind::CommandButton, L"BUTTON",
                        WS_TABSTOP | BS_NOTIFY | kind, 0, style.font},
                       caption));
}

Text CommandButton::Caption() const
{
    return win32::windowText(windowOf(*this));
}

Image::Image(Container &parent, const char *name, TwipsRect placement, const char *picture)
    : Control(parent, name, placement, -1), picture_(picture)
{
    attach(createChild(*this, {Control::Impl::Kind::Image, L"STATIC", SS_BITMAP, 0, {}}, u""));
}

MenuEntry::MenuEntry(Form &form, const char *name, Text caption, int index, Kind kind)
    : Click(form), form_(form), name_(name), caption_(std::move(caption)), index_(index),
      impl_(new Impl)
{
    Form::Impl &owner = form.impl();
    HMENU bar = owner.menuBar();
    if (kind == Kind::DropDown) {
        impl_->dropDown = CreatePopupMenu();
        AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(impl_->dropDown),
                    wide(caption_));
    } else {
        impl_->command = owner.nextMenuCommand++;
        owner.menuCommands[impl_->command] = this;
        AppendMenuW(bar, MF_STRING, impl_->command, wide(caption_));
    }
    // A hidden window's menu bar is drawn when the window is shown.
    if (owner.window && IsWindowVisible(owner.window.get()))
        DrawMenuBar(owner.window.get());
}

MenuEntry::MenuEntry(MenuEntry &dropDown, const char *name, Text caption, int index)
    : Click(dropDown.form()), form_(dropDown.form()), name_(name), caption_(std::move(caption)),
      index_(index), impl_(new Impl)
{
    Form::Impl &owner = form_.impl();
    impl_->command = owner.nextMenuCommand++;
    owner.menuCommands[impl_->command] = this;
    AppendMenuW(dropDown.impl().dropDown, MF_STRING, impl_->command, wide(caption_));
}

MenuEntry::~MenuEntry()
{
    if (impl_->command != 0)
        form_.impl().menuCommands.erase(impl_->command);
}

} // namespace ampero
