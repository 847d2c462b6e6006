#pragma once
// What every top-level window of the program does about DPI: created at the design's size for the system DPI,
// resized at once when its screen has another, answered with the design's own size when it moves to a screen of
// another DPI, and given the program icon at its own DPI.

#include "platform/unique_handle_win.h"

#include <windows.h>

namespace quelvo {

// A top-level window's frame as designed: its style and the size of its client area in twips.
struct WindowFrame {
    DWORD style;
    bool hasMenu;
    SIZE clientTwips;

    // The outer size at dpi.
    SIZE SizeAt(UINT dpi) const;
    // WM_GETMINMAXINFO, the first message of all: without an answer the system widens a design narrower than its
    // minimum tracking size at creation.
    void OnGetMinMaxInfo(UINT dpi, MINMAXINFO *info) const;
};

class DpiWindow {
public:
    explicit DpiWindow(const WindowFrame &frame) : frame_(frame) {}
    DpiWindow(const DpiWindow &) = delete;
    DpiWindow &operator=(const DpiWindow &) = delete;

    // Registers the class once and creates the window centred on the primary screen, state reaching WM_NCCREATE as
    // the creation parameter. Returns what CreateWindowEx returns.
    HWND Create(HINSTANCE instance, const wchar_t *className, WNDPROC procedure, const wchar_t *title, HMENU menu,
                void *state) const;
    // From WM_CREATE on: the window's own DPI, and its size for it where that is not the system's.
    void Attach(HWND hwnd);
    // After WM_NCDESTROY: the icons go with the window.
    void Detach();

    UINT Dpi() const { return dpi_; }
    HINSTANCE Instance() const;
    // The big and the small program icon at the window's DPI.
    void ShowIcons();

    // The message handlers; the window lays out its own controls after OnDpiChanged.
    void OnDpiChanged(UINT dpi, const RECT &suggested);
    // WM_GETDPISCALEDSIZE: the design's own size at the new DPI, not the old size scaled and rounded.
    LRESULT OnGetDpiScaledSize(WPARAM dpi, LPARAM size) const;
    void OnGetMinMaxInfo(MINMAXINFO *info) const;

private:
    const WindowFrame &frame_;
    HWND hwnd_ = nullptr;
    UINT dpi_ = 96;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
};

} // namespace quelvo
