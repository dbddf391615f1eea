// The start-up, the one message pump of the main loop and of every modal loop, modal
// windows, message boxes and the user's locale.

#include "message_box.h"
#include "numbers.h"
#include "run_error.h"
#include "win32_forms.h"

#include <algorithm>
#include <commctrl.h>

namespace ampero {

namespace {

bool quitting = false;

// Unloaded windows none of whose handlers is running, until the pump has dispatched the
// message whose handling unloaded them.
std::vector<std::unique_ptr<Form>> unloadedWindows;

// The windows shown modally, innermost last.
std::vector<HWND> modalWindows;

LRESULT CALLBACK helperProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        runHandler(nullptr, [wParam] { win32::wakeupDue(wParam); });
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

win32::WindowHandle createHelperWindow()
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = helperProcedure;
    windowClass.hInstance = win32::instance();
    windowClass.lpszClassName = L"AmperoHelper";
    // Made again after a failed attempt, its class may be registered already.
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw RunError(ErrorNumber::OutOfMemory);
    win32::WindowHandle helper(CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 0,
                                               0, nullptr, nullptr, win32::instance(), nullptr));
    if (!helper)
        throw RunError(ErrorNumber::OutOfMemory);
    return helper;
}

// Runs the thread's messages until the program quits or the condition holds. Keyboard
// messages go first to the dialog manager of their top-level window, which moves the focus
// with Tab and the arrows, presses buttons by their access keys and turns Enter and Escape
// into the default and cancel buttons' clicks.
template <class Condition> void pumpUntil(Condition done)
{
    MSG message;
    while (!quitting && !done()) {
        const BOOL received = GetMessageW(&message, nullptr, 0, 0);
        if (received <= 0) {
            quitting = true;
            break;
        }
        HWND top = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        const bool forProgramWindow = top && std::ranges::count(win32::programWindows(), top) > 0;
        if (!forProgramWindow || !IsDialogMessageW(top, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        // Out of the list before they go, so that nothing their destruction does can change
        // the list under it.
        const std::vector<std::unique_ptr<Form>> finished = std::move(unloadedWindows);
        unloadedWindows.clear();
    }
}

void wakePump()
{
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

std::vector<HWND> disableProgramWindowsBut(HWND kept)
{
    std::vector<HWND> disabled;
    for (HWND window : win32::programWindows())
        if (window != kept && IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            disabled.push_back(window);
        }
    return disabled;
}

void enable(const std::vector<HWND> &windows)
{
    for (HWND window : windows)
        if (IsWindow(window))
            EnableWindow(window, TRUE);
}

// The window a message box is modal to: the program's active window, else the innermost
// modal one, else any shown window of the program.
HWND messageBoxOwner()
{
    const std::vector<HWND> &windows = win32::programWindows();
    HWND active = GetActiveWindow();
    if (std::ranges::count(windows, active) > 0)
        return active;
    if (HWND modal = win32::modalWindow())
        return modal;
    for (HWND window : windows)
        if (IsWindowVisible(window) && IsWindowEnabled(window))
            return window;
    return nullptr;
}

void endModal(Form::Impl &window)
{
    window.modal = false;
    std::erase(modalWindows, window.window.get());
    enable(window.disabledByModal);
    window.disabledByModal.clear();
    // Back to the window the modal one came from, before the system picks another.
    if (GetActiveWindow() == window.window.get() && window.activeBeforeModal &&
        IsWindow(window.activeBeforeModal))
        SetActiveWindow(window.activeBeforeModal);
}

} // namespace

HINSTANCE win32::instance()
{
    return GetModuleHandleW(nullptr);
}

HWND win32::helperWindow()
{
    static const WindowHandle helper = createHelperWindow();
    return helper.get();
}

std::vector<HWND> &win32::programWindows()
{
    static std::vector<HWND> windows;
    return windows;
}

HWND win32::modalWindow()
{
    return modalWindows.empty() ? nullptr : modalWindows.back();
}

void backend::hideWindow(Form &window)
{
    Form::Impl &impl = window.impl();
    // The other windows take input again before this one goes, so that the system gives
    // the activation back to one of them rather than to another program.
    if (impl.modal)
        endModal(impl);
    ShowWindow(impl.window.get(), SW_HIDE);
}

void backend::destroyLater(std::unique_ptr<Form> window)
{
    window->impl().detach();
    unloadedWindows.push_back(std::move(window));
    wakePump();
}

void backend::runModal(Form &window)
{
    const std::weak_ptr<Form *> guard = window.guard();
    Form::Impl &impl = window.impl();
    impl.activeBeforeModal = GetActiveWindow();
    window.Show();
    impl.disabledByModal = disableProgramWindowsBut(impl.window.get());
    impl.modal = true;
    modalWindows.push_back(impl.window.get());
    pumpUntil([&] { return guard.expired() || !window.loaded(); });
    if (!guard.expired() && impl.modal)
        endModal(impl);
}

void backend::quitEventLoop()
{
    quitting = true;
    wakePump();
}

int runApplication(int, char **, const std::function<void()> &showStartWindow)
{
    const INITCOMMONCONTROLSEX commonControls{sizeof commonControls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&commonControls);
    runHandler(nullptr, showStartWindow);
    const bool started = !quitting && !win32::programWindows().empty();
    if (started)
        pumpUntil([] { return false; });
    // The windows go with their controls; from now on they get the system's default
    // handling only.
    for (HWND window : win32::programWindows()) {
        ShowWindow(window, SW_HIDE);
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    unloadedWindows.clear();
    detail::destroyAllWindows();
    return started ? 0 : 1;
}

void messageBox(const std::u16string &text)
{
    HWND owner = messageBoxOwner();
    // The box disables its owner; the program's other windows wait as well.
    const std::vector<HWND> disabled = disableProgramWindowsBut(owner);
    MessageBoxW(owner, win32::wide(text), reinterpret_cast<const wchar_t *>(applicationTitle),
                MB_OK | (owner ? 0 : MB_TASKMODAL));
    enable(disabled);
}

char16_t localeDecimalSeparator()
{
    wchar_t separator[4] = {};
    const int length =
        GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, std::size(separator));
    return length == 2 ? static_cast<char16_t>(separator[0]) : u'.';
}

} // namespace ampero
