#pragma once

// The Win32 backend's own view of the forms: the windows behind forms, controls and menu
// entries, and what the backend's sources share. The program's windows never see it.
//
// Every control is one child window of a system class: EDIT for a text box, STATIC for a
// label, STATIC with SS_BITMAP for an image, BUTTON for a command button and BUTTON with
// BS_GROUPBOX for a frame, whose controls are its own children. A control's identifier
// (GetDlgCtrlID) is 1000 plus its position in its form's Controls(), the order in which
// the window's class creates them; menu commands are numbered from 2000 in the order of
// their entries.

#include "forms.h"
#include "win32_handles.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace ampero {

struct Control::Impl
{
    enum class Kind { Frame, TextBox, Label, CommandButton, Image };
    Kind kind;
    Font font;
    bool wordWrap = false;
    bool blackText = false;
    // The text its font is chosen to fit, at every DPI: its text when the window is first
    // shown. A result or an entry that comes later may be cut, but never shrinks the font.
    std::u16string fittedText;
    win32::BitmapHandle picture; // an image's picture, at the window's DPI
    win32::WindowHandle window;  // destroyed before the picture it shows

    ~Impl();
};

struct MenuEntry::Impl
{
    HMENU dropDown = nullptr; // a drop-down's own menu, destroyed with the menu bar
    UINT command = 0;         // a command's identifier in WM_COMMAND
};

struct Form::Impl
{
    explicit Impl(Form &form) : form(form) {}
    ~Impl();

    // The form's window, made on first need: after the menu entries, which the program's
    // windows declare before their controls, so that it is made with its menu bar.
    HWND windowHandle();
    // The menu bar the form's entries go on.
    HMENU menuBar();
    // The window's procedure; the form is fully built whenever it runs.
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // From now on the window's messages get the system's default handling only: the
    // window's controls are going.
    void detach();

    void createWindow();
    void prepareFirstShow();
    // Places every control, chooses the fonts and sizes the window for a DPI.
    void layout(UINT dpi);
    // Sizes the window to its designed client area at its DPI: in its place once on the
    // screen, centred on its monitor's work area before.
    void placeWindow();
    void arrangeTabOrder();
    // The button Enter presses while that window has the focus, or null.
    CommandButton *defaultButton(HWND focus) const;
    void updateDefaultButton(HWND focus);
    void pressCancelButton();
    void paintLines();
    // A label whose caption is cut gets the whole of it as its tooltip, and loses the tip
    // once the caption fits again.
    void updateCaptionTip(Label &label);
    void command(int identifier, int code, HWND child);
    void activated(bool active);
    void restoreFocus();
    void loadIcons();

    Form &form;
    // The menu bar made before the window, which takes it.
    win32::MenuHandle menuBarBeforeWindow;
    std::vector<std::pair<Font, win32::FontHandle>> fonts; // each design's font at the DPI
    win32::IconHandle bigIcon; // set when the DPI differs from that of the class's icons
    win32::IconHandle smallIcon;
    UINT iconsDpi = 96; // of the icons the window has
    win32::WindowHandle window;
    win32::WindowHandle captionTips; // made for the first cut caption; destroyed first
    UINT dpi = 96;
    bool shownBefore = false;
    HWND lastFocus = nullptr;
    std::vector<std::pair<Label *, Control *>> captionedControls;
    std::map<UINT, MenuEntry *> menuCommands;
    UINT nextMenuCommand = 2000;
    // While the window is shown modally: the program's windows it disabled, and the window
    // that was active before it.
    bool modal = false;
    std::vector<HWND> disabledByModal;
    HWND activeBeforeModal = nullptr;
};

namespace win32 {

inline constexpr int firstControlIdentifier = 1000;
// The forms' window classes, one for each icon, are named after it.
inline constexpr wchar_t formClassPrefix[] = L"AmperoForm:";
// Asks a form's window to come to the front.
inline constexpr UINT bringForwardMessage = WM_APP + 1;

inline const wchar_t *wide(const std::u16string &text)
{
    return reinterpret_cast<const wchar_t *>(text.c_str());
}
std::u16string windowText(HWND window);

inline HWND windowOf(const Control &control)
{
    return control.impl().window.get();
}
inline HWND windowOf(const Form &form)
{
    return form.impl().windowHandle();
}
// The control a child window stands for, or null while it is being destroyed.
Control *controlOf(HWND window);

HINSTANCE instance();
// A hidden window of the program's own: it receives the wake-ups' timer messages, and it
// owns the windows that are not shown in the task bar. Made on first need; where the system
// can't make it, that is a run-time error.
HWND helperWindow();
// The windows of the program's forms, loaded or hidden, in the order they were made: each
// form's window is added as it is made and taken away as it is destroyed.
std::vector<HWND> &programWindows();
// The innermost window shown modally, or null.
HWND modalWindow();
void wakeupDue(UINT_PTR timer);

} // namespace win32
} // namespace ampero
