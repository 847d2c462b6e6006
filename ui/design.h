#pragma once
// Window designs are tables of controls placed in twips, 1/1440 inch: 15 twips make one pixel at 96 dots per
// inch. The program declares no DPI awareness, so Windows scales the whole window on other screens.

#include <windows.h>

#include <span>

namespace quelvo {

inline constexpr int kTwipsPerPixel = 15;

// Nearest pixel; twips are whole numbers and 15 is odd, so there is never a tie.
constexpr int TwipsToPixels(int twips) {
    return (2 * twips + kTwipsPerPixel) / (2 * kTwipsPerPixel);
}

struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

struct ControlDesign {
    int id;
    const wchar_t *className;
    DWORD style;
    DWORD exStyle;
    TwipRect place;
    const wchar_t *text;
};

// Position and size are rounded separately, so neighbours keep the design's overlaps.
RECT PixelRect(const TwipRect &place, int originLeftTwips = 0, int originTopTwips = 0);

// Creates the controls in table order, which is also their z-order and tab order.
void CreateControls(HWND parent, std::span<const ControlDesign> design, HFONT font, int originLeftTwips = 0,
                    int originTopTwips = 0);

// Outer size of a window whose client area is clientWidth × clientHeight twips.
SIZE WindowSizeForClient(int clientWidthTwips, int clientHeightTwips, DWORD style, DWORD exStyle, bool hasMenu);

// Top-left corner that centres a window of the given size on the primary screen.
POINT CentredOnScreen(SIZE windowSize);

// Registers a window class with the dialog background, once per process.
void RegisterWindowClass(HINSTANCE instance, const wchar_t *name, WNDPROC procedure);

// The object passed as CreateWindowEx's last parameter, kept with the window from WM_NCCREATE on; nullptr for
// the messages that come before it.
template <typename State> State *AttachedState(HWND hwnd, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto *create = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return reinterpret_cast<State *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// The font the system uses in message boxes; a Win32 child control otherwise draws in the old system font.
HFONT CreateDefaultGuiFont();

} // namespace quelvo
