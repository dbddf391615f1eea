#pragma once

// Dots per inch and the metrics that depend on them. The per-monitor functions exist from
// Windows 10 on; before that every window has the system's DPI.

#include <windows.h>

namespace ampero::win32 {

UINT dpiOf(HWND window);
// The system's DPI: the primary screen's when the user signed in.
UINT systemDpi();
int systemMetric(int index, UINT dpi);
// The size of a window of those styles, with its frame and its menu bar on one line, around
// a client area of that size at that DPI.
SIZE windowSizeAround(DWORD style, DWORD extendedStyle, bool menuBar, SIZE client, UINT dpi);
// The font of message boxes at that DPI.
LOGFONTW messageFont(UINT dpi);

} // namespace ampero::win32
