#pragma once

// Dots per inch and the metrics that depend on them. The per-monitor functions exist from
// Windows 10 on; before that every window has the system's DPI.

#include <windows.h>

namespace ampero::win32 {

UINT dpiOf(HWND window);
int systemMetric(int index, UINT dpi);
// The font of message boxes at that DPI.
LOGFONTW messageFont(UINT dpi);

} // namespace ampero::win32
