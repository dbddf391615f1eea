#include "dpi_win32.h"

namespace ampero::win32 {

namespace {

// A function of user32 that older systems lack, or null there.
template <class Function> Function user32Function(const char *name)
{
    const FARPROC address = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

} // namespace

UINT systemDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return static_cast<UINT>(dpi);
}

UINT dpiOf(HWND window)
{
    using GetDpiForWindowFunction = UINT(WINAPI *)(HWND);
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    const UINT dpi = getDpiForWindow ? getDpiForWindow(window) : 0;
    return dpi != 0 ? dpi : systemDpi();
}

int systemMetric(int index, UINT dpi)
{
    using GetSystemMetricsForDpiFunction = int(WINAPI *)(int, UINT);
    static const auto getSystemMetricsForDpi =
        user32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    if (getSystemMetricsForDpi)
        return getSystemMetricsForDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(systemDpi()));
}

SIZE windowSizeAround(DWORD style, DWORD extendedStyle, bool menuBar, SIZE client, UINT dpi)
{
    using AdjustWindowRectExForDpiFunction = BOOL(WINAPI *)(RECT *, DWORD, BOOL, DWORD, UINT);
    static const auto adjustWindowRectExForDpi =
        user32Function<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, client.cx, client.cy};
    if (!adjustWindowRectExForDpi ||
        !adjustWindowRectExForDpi(&frame, style, menuBar, extendedStyle, dpi))
        AdjustWindowRectEx(&frame, style, menuBar, extendedStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

LOGFONTW messageFont(UINT dpi)
{
    using SystemParametersInfoForDpiFunction = BOOL(WINAPI *)(UINT, UINT, void *, UINT, UINT);
    static const auto systemParametersInfoForDpi =
        user32Function<SystemParametersInfoForDpiFunction>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (systemParametersInfoForDpi &&
        systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi))
        return metrics.lfMessageFont;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(systemDpi()));
    return font;
}

} // namespace ampero::win32
