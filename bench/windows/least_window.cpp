// The yardstick for start-up time and memory under Wine: the least a Win32 program needs
// to show a window with the same menu and controls as the main window, each created and
// placed directly in pixels at 96 DPI, nothing else.
#include <windows.h>

namespace {

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void addControl(HWND parent, const wchar_t *kind, const wchar_t *text, DWORD style, int left,
                int top, int width, int height)
{
    CreateWindowExW(0, kind, text, WS_CHILD | WS_VISIBLE | style, left, top, width, height, parent,
                    nullptr, nullptr, nullptr);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"Reference";
    RegisterClassW(&windowClass);

    HMENU options = CreatePopupMenu();
    AppendMenuW(options, MF_STRING, 4, L"Timer");
    HMENU menuBar = CreateMenu();
    AppendMenuW(menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(options), L"Options");
    AppendMenuW(menuBar, MF_STRING, 2, L"About");
    AppendMenuW(menuBar, MF_STRING, 3, L"Exit");

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, 233, 143};
    AdjustWindowRect(&frame, style, TRUE);
    HWND window = CreateWindowExW(0, L"Reference", L"Reference", style, CW_USEDEFAULT,
                                  CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                  nullptr, menuBar, instance, nullptr);

    addControl(window, L"BUTTON", L"Chargely", BS_GROUPBOX, 8, 8, 217, 129);
    addControl(window, L"EDIT", L"", WS_BORDER | WS_TABSTOP, 24, 32, 65, 19);
    addControl(window, L"STATIC", L"Charger Output (MaH)", 0, 96, 32, 113, 17);
    addControl(window, L"EDIT", L"", WS_BORDER | WS_TABSTOP, 24, 56, 65, 19);
    addControl(window, L"STATIC", L"Battery Capacity (MaH)", 0, 96, 56, 113, 17);
    addControl(window, L"STATIC", L"", 0, 24, 80, 65, 17);
    addControl(window, L"STATIC", L"Charge Time (Mins)", 0, 96, 80, 113, 17);
    addControl(window, L"BUTTON", L"Calculate", WS_TABSTOP, 24, 104, 185, 17);

    ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
