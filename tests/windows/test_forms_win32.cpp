// The windows on the Win32 backend, made where they first show, then moved between screens of
// 96 and 144 DPI: their place, the client area and every caption inside its box in the font it
// is drawn in; a cut caption's ellipsis and tooltip, and the same font with it.
#include "form1.h"
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
