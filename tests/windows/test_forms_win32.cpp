// The windows on the Win32 backend, made where they first show, then moved between screens of
// 96 and 144 DPI: their place, the client area and every caption inside its box in the font it
// is drawn in; a cut caption's ellipsis and tooltip, and the same font with it. The charge
// timer's lock against suspend and its flash at completion.
#include "form1.h"
#include "form2.h"
#include "frm_about.h"
#include "twips.h"
#include "win32_forms.h"

#include <commctrl.h>
#include <doctest/doctest.h>
#include <string>

namespace {

using ampero::Control;
using ampero::Form;

// The control's text, without its access key marks, in the font it is drawn in, is no
// wider and no taller than its box; a word-wrapped label's lines are no taller together.
void checkTextFits(const Control &control)
{
    HWND window = ampero::win32::windowOf(control);
    std::wstring text(256, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), 256)));
    RECT box{};
    GetClientRect(window, &box);
    HDC context = GetDC(window);
    const HGDIOBJ previous =
        SelectObject(context, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    const bool wraps = control.impl().wordWrap;
    RECT needed{0, 0, box.right, 0};
    DrawTextW(context, text.empty() ? L" " : text.c_str(), -1, &needed,
              DT_CALCRECT | (wraps ? DT_WORDBREAK | DT_NOPREFIX : DT_SINGLELINE));
    SelectObject(context, previous);
    ReleaseDC(window, context);
    CAPTURE(control.Name());
    CHECK(needed.right <= box.right);
    CHECK(needed.bottom <= box.bottom);
}

const RECT suggested{40, 30, 400, 300};

void moveToScreen(Form &form, UINT dpi)
{
    SendMessageW(ampero::win32::windowOf(form), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
}

// Moved to a screen of that DPI, the window takes the place the system suggests; the
// client area below the menu bar has the designed size, and every caption fits.
void checkLayout(Form &form, UINT dpi)
{
    HWND window = ampero::win32::windowOf(form);
    moveToScreen(form, dpi);
    RECT outer{};
    GetWindowRect(window, &outer);
    CHECK(outer.left == suggested.left);
    CHECK(outer.top == suggested.top);
    RECT client{};
    GetClientRect(window, &client);
    CHECK(client.right == ampero::twipsToPixels(form.Design().clientWidth, dpi));
    CHECK(client.bottom == ampero::twipsToPixels(form.Design().clientHeight, dpi));
    for (const Control *control : form.Controls())
        checkTextFits(*control);
}

} // namespace

TEST_CASE("the windows' client areas and captions at 96 and 144 DPI; a cut result")
{
    ampero::Form1 form1;
    ampero::frmAbout about;
    // Made in the place and at the size it first shows in.
    RECT made{};
    GetWindowRect(ampero::win32::windowOf(form1), &made);
    form1.Show();
    RECT shown{};
    GetWindowRect(ampero::win32::windowOf(form1), &shown);
    CHECK(EqualRect(&made, &shown));
    about.Show();
    for (const UINT dpi : {96u, 144u}) {
        CAPTURE(dpi);
        checkLayout(form1, dpi);
        checkLayout(about, dpi);
    }

    // A result too long for its box ends in an ellipsis and is whole in its tooltip.
    HWND result = ampero::win32::windowOf(form1.Label1);
    CHECK((GetWindowLongW(result, GWL_STYLE) & SS_ELLIPSISMASK) == SS_ENDELLIPSIS);
    const auto tips = [&] {
        HWND tooltips = form1.impl().captionTips.get();
        return tooltips ? SendMessageW(tooltips, TTM_GETTOOLCOUNT, 0, 0) : 0;
    };
    for (const auto &[caption, tipped] : {std::pair{u"8.57142857142857", 1}, {u"180", 0}}) {
        form1.Label1.setCaption(caption);
        CHECK(form1.Label1.Caption() == caption);
        CHECK(tips() == tipped);
    }

    // Nor does it make the window's font smaller on another screen.
    const auto fontHeight = [&] {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(result, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        return font.lfHeight;
    };
    const LONG designed = fontHeight();
    form1.Label1.setCaption(u"8.57142857142857");
    moveToScreen(form1, 96);
    moveToScreen(form1, 144);
    CHECK(fontHeight() == designed);
}

TEST_CASE("the timer keeps the system awake while it runs, and flashes at completion behind "
          "another window")
{
    // Wine makes no power request: the lock is the thread's execution state, which a call
    // without ES_CONTINUOUS reads back unchanged while it is held.
    const auto awake = [] {
        return SetThreadExecutionState(0) == (ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
    };
    // The flashes of the timer's window, as the messages that redraw its caption tell.
    static HWND watched;
    static int flashes;
    const auto countFlashes = [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
        const auto *message = reinterpret_cast<const CWPSTRUCT *>(lParam);
        flashes += message->hwnd == watched && message->message == WM_NCACTIVATE;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    };
    ampero::Form1 form1;
    form1.Show();
    auto timer = std::make_unique<ampero::Form2>();
    timer->Show();
    SetForegroundWindow(ampero::win32::windowOf(form1));
    watched = ampero::win32::windowOf(*timer);
    const std::unique_ptr<HHOOK__, decltype(&UnhookWindowsHookEx)> hook(
        SetWindowsHookExW(WH_CALLWNDPROC, countFlashes, nullptr, GetCurrentThreadId()),
        UnhookWindowsHookEx);
    CHECK_FALSE(awake());
    timer->Text1.setText(u"1");
    timer->Command1.Click.raise();
    CHECK(awake());
    timer->Timer1.tick();
    CHECK(timer->Caption() == u"Charge Complete");
    CHECK(awake());
    CHECK(flashes == 1);
    timer.reset();
    CHECK_FALSE(awake());
}
