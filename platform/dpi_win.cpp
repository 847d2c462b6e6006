#include "dpi_win.h"

namespace quelvo {
namespace {

// An export of user32.dll, or nullptr on a Windows that lacks it.
template <typename Function> Function *User32Export(const char *name) {
    const FARPROC address = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function *>(reinterpret_cast<void *>(address));
}

} // namespace

UINT SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

UINT WindowDpi(HWND hwnd) {
    static auto *const getDpiForWindow = User32Export<UINT WINAPI(HWND)>("GetDpiForWindow");
    const UINT dpi = getDpiForWindow && hwnd ? getDpiForWindow(hwnd) : 0;
    return dpi ? dpi : SystemDpi();
}

int SystemMetricForDpi(int index, UINT dpi) {
    static auto *const getSystemMetricsForDpi = User32Export<int WINAPI(int, UINT)>("GetSystemMetricsForDpi");
    // Before Windows 10 every window has the system DPI, which GetSystemMetrics answers for.
    return getSystemMetricsForDpi ? getSystemMetricsForDpi(index, dpi) : GetSystemMetrics(index);
}

void AdjustWindowRectForDpi(RECT &rect, DWORD style, bool hasMenu, DWORD exStyle, UINT dpi) {
    static auto *const adjustForDpi =
        User32Export<BOOL WINAPI(RECT *, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
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
