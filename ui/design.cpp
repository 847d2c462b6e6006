#include "design.h"

namespace quelvo {

RECT PixelRect(const TwipRect &place, int originLeftTwips, int originTopTwips) {
    const int left = TwipsToPixels(originLeftTwips + place.left);
    const int top = TwipsToPixels(originTopTwips + place.top);
    return {left, top, left + TwipsToPixels(place.width), top + TwipsToPixels(place.height)};
}

void CreateControls(HWND parent, std::span<const ControlDesign> design, HFONT font, int originLeftTwips,
                    int originTopTwips) {
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    for (const ControlDesign &control : design) {
        const RECT rect = PixelRect(control.place, originLeftTwips, originTopTwips);
        HWND child =
            CreateWindowExW(control.exStyle, control.className, control.text, WS_CHILD | WS_VISIBLE | control.style,
                            rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

SIZE WindowSizeForClient(int clientWidthTwips, int clientHeightTwips, DWORD style, DWORD exStyle, bool hasMenu) {
    RECT rect = {0, 0, TwipsToPixels(clientWidthTwips), TwipsToPixels(clientHeightTwips)};
    AdjustWindowRectEx(&rect, style, hasMenu, exStyle);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

POINT CentredOnScreen(SIZE windowSize) {
    return {(GetSystemMetrics(SM_CXSCREEN) - windowSize.cx) / 2, (GetSystemMetrics(SM_CYSCREEN) - windowSize.cy) / 2};
}

void RegisterWindowClass(HINSTANCE instance, const wchar_t *name, WNDPROC procedure) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    if (GetClassInfoExW(instance, name, &windowClass)) return;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

HFONT CreateDefaultGuiFont() {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

} // namespace quelvo
