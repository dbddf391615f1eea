// The windows on the Win32 backend: one child window per control, numbered after its place
// in its form's Controls(), captions inside their boxes at 96 and 144 DPI, the designed tab
// order, and the wake-up's first call one full interval after its start.
#include "form1.h"
#include "frm_about.h"
#include "periodic_wakeup.h"
#include "twips.h"
#include "win32_forms.h"

#include <chrono>
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

void checkLayout(Form &form, UINT dpi)
{
    form.impl().layout(dpi);
    for (std::size_t index = 0; index < form.Controls().size(); ++index) {
        const Control &control = *form.Controls()[index];
        HWND window = ampero::win32::windowOf(control);
        CAPTURE(control.Name());
        CHECK(GetDlgCtrlID(window) == 1000 + static_cast<int>(index));
        RECT box{};
        GetWindowRect(window, &box);
        CHECK(box.right - box.left == ampero::twipsToPixels(control.Placement().width, dpi));
        CHECK(box.bottom - box.top == ampero::twipsToPixels(control.Placement().height, dpi));
        checkTextFits(control);
    }
}

} // namespace

TEST_CASE("every control of the windows is in its box, its caption too, at 96 and 144 DPI")
{
    ampero::Form1 form1;
    ampero::frmAbout about;
    for (const UINT dpi : {96u, 144u}) {
        CAPTURE(dpi);
        checkLayout(form1, dpi);
        checkLayout(about, dpi);
    }
}

TEST_CASE("Tab goes from the first box to the second, to Calculate and round again")
{
    ampero::Form1 form;
    form.impl().prepareFirstShow();
    HWND window = ampero::win32::windowOf(form);
    HWND focus = GetNextDlgTabItem(window, nullptr, FALSE);
    const std::initializer_list<const Control *> order = {&form.Text1, &form.Text2, &form.Command1,
                                                          &form.Text1};
    for (const Control *expected : order) {
        CHECK(focus == ampero::win32::windowOf(*expected));
        focus = GetNextDlgTabItem(window, focus, FALSE);
    }
}

TEST_CASE("a wake-up comes one full interval after its start")
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point started = Clock::now();
    Clock::time_point called{};
    ampero::PeriodicWakeup wakeup([&] { called = Clock::now(); });
    wakeup.start(100);
    const Clock::time_point deadline = started + std::chrono::seconds(2);
    while (called == Clock::time_point{} && Clock::now() < deadline) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    REQUIRE(called != Clock::time_point{});
    CHECK(called - started >= std::chrono::milliseconds(100));
    CHECK(called - started < std::chrono::milliseconds(1000));
}
