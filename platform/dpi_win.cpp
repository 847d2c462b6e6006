#include "dpi_win.h"

#include "device_context_win.h"
#include "module_export_win.h"

namespace quelvo {

UINT SystemDpi() {
    const int dpi = GetDeviceCaps(WindowDc(nullptr).Get(), LOGPIXELSX);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

UINT WindowDpi(HWND hwnd) {
    static auto *const getDpiForWindow = ModuleExport<UINT WINAPI(HWND)>(L"user32.dll", "GetDpiForWindow");
    const UINT dpi = getDpiForWindow && hwnd ? getDpiForWindow(hwnd) : 0;
    return dpi ? dpi : SystemDpi();
}

int SystemMetricForDpi(int index, UINT dpi) {
    static auto *const getSystemMetricsForDpi = ModuleExport<int WINAPI(int, UINT)>(L"user32.dll", "GetSystemMetricsForDpi");
    // Before Windows 10 every window has the system DPI, which GetSystemMetrics answers for.
    return getSystemMetricsForDpi ? getSystemMetricsForDpi(index, dpi) : GetSystemMetrics(index);
}

void AdjustWindowRectForDpi(RECT &rect, DWORD style, bool hasMenu, DWORD exStyle, UINT dpi) {
    static auto *const adjustForDpi =
        ModuleExport<BOOL WINAPI(RECT *, DWORD, BOOL, DWORD, UINT)>(L"user32.dll", "AdjustWindowRectExForDpi");
    if (adjustForDpi)
        adjustForDpi(&rect, style, hasMenu, exStyle, dpi);
    else
        AdjustWindowRectEx(&rect, style, hasMenu, exStyle);
}

int SmallIconSize(UINT dpi) {
    return SystemMetricForDpi(SM_CXSMICON, dpi);
}

int LargeIconSize(UINT dpi) {
    return SystemMetricForDpi(SM_CXICON, dpi);
}

int NotificationIconSize() {
    return SmallIconSize(SystemDpi());
}

} // namespace quelvo
