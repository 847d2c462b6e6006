#pragma once
// The DPI a window is drawn at and the system metrics that follow from it. The per-DPI functions of Windows 10
// are looked up when first needed, so that the program still loads on Vista and 7, where every window has the
// system's DPI.

#include <windows.h>

namespace quelvo {

inline constexpr UINT kDesignDpi = 96;

// The system DPI: the screen's logical pixels per inch when the session started.
UINT SystemDpi();
// The window's own DPI on Windows 10 1607 and later (the monitor's under per-monitor awareness), else the system DPI.
UINT WindowDpi(HWND hwnd);
// GetSystemMetrics as it would answer at dpi.
int SystemMetricForDpi(int index, UINT dpi);
// AdjustWindowRectEx at dpi: frame and menu bar grow with it.
void AdjustWindowRectForDpi(RECT &rect, DWORD style, bool hasMenu, DWORD exStyle, UINT dpi);

// Edges of the window icons at dpi: the title bar's small one and the Alt+Tab one.
int SmallIconSize(UINT dpi);
int LargeIconSize(UINT dpi);
// Edge of the notification icon: the shell draws it at the system DPI, whatever the window's.
int NotificationIconSize();

} // namespace quelvo
