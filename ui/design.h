#pragma once
// Window designs are tables of controls placed in twips, 1/1440 inch, converted at the window's own DPI: 15 twips
// make one pixel at 96 dots per inch, 10 at 144.

#include <windows.h>

#include <span>
#include <string>

namespace quelvo {

// Nearest pixel, halves up; at 96 dots per inch there is never a tie, since 15 twips make a pixel and 15 is odd.
constexpr int TwipsToPixels(int twips, UINT dpi) {
    return (2 * twips * static_cast<int>(dpi) + 1440) / 2880;
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
    UINT textId; // in the string table; 0 for none
};

// Position and size are rounded separately, so neighbours keep the design's overlaps.
RECT PixelRect(const TwipRect &place, UINT dpi, int originLeftTwips = 0, int originTopTwips = 0);

// Creates the controls in table order, which is also their z-order and tab order.
void CreateControls(HWND parent, std::span<const ControlDesign> design, UINT dpi, int originLeftTwips = 0,
                    int originTopTwips = 0);
// Places existing controls for dpi, as after a move to a screen of another DPI.
void LayOutControls(HWND parent, std::span<const ControlDesign> design, UINT dpi, int originLeftTwips = 0,
                    int originTopTwips = 0);
void SetControlsFont(HWND parent, std::span<const ControlDesign> design, HFONT font);

// Outer size of a window whose client area is clientWidth × clientHeight twips at dpi.
SIZE WindowSizeForClient(int clientWidthTwips, int clientHeightTwips, DWORD style, DWORD exStyle, bool hasMenu,
                         UINT dpi);
// Moves a window to the rectangle that WM_DPICHANGED suggests.
void MoveToSuggestedRect(HWND hwnd, const RECT &suggested);

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

// A text that must fit the control that shows it.
struct FittedText {
    int controlId;
    std::wstring text;
};

// The face the design was drawn for, "MS Shell Dlg" at 8 points for dpi (Windows maps it to its sans-serif dialog
// font). Where the system maps it to a wider face, the size shrinks a pixel at a time until every text fits its
// control, measured in the controls as they stand.
HFONT CreateFittingFont(HWND window, UINT dpi, std::span<const FittedText> texts);

} // namespace quelvo
