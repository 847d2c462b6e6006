#pragma once
// The about window Form1: constant texts and the logo. At most one exists; closing destroys it.

#include "design.h"
#include "dpi_window.h"
#include "platform/unique_handle_win.h"

#include <windows.h>

#include <functional>

namespace quelvo {

class AboutWindow {
public:
    AboutWindow();
    AboutWindow(const AboutWindow &) = delete;
    AboutWindow &operator=(const AboutWindow &) = delete;
    ~AboutWindow();

    // Creates the window if it does not exist, then shows it, modeless and without owner.
    void Show(HINSTANCE instance);
    void Destroy();
    bool IsOpen() const { return hwnd_ != nullptr; }
    HWND Handle() const { return hwnd_; }
    void OnClosed(std::function<void()> callback) { onClosed_ = std::move(callback); }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnCreate(HWND hwnd, LPCREATESTRUCTW create);
    void OnDpiChanged(UINT dpi, const RECT &suggested);
    void LoadForDpi();
    void OnDrawItem(const DRAWITEMSTRUCT *item);
    HBRUSH OnCtlColorStatic(HDC dc);
    void OnNcDestroy();

    HWND hwnd_ = nullptr;
    DpiWindow frame_;
    UniqueGdiObject font_;
    UniqueGdiObject titleFont_;
    UniqueGdiObject logo_;
    std::function<void()> onClosed_;
};

// The design in twips, for checks at every DPI: the labels placed from the frame's corner, the other controls,
// and the client area.
struct AboutDesign {
    std::span<const ControlDesign> frameLabels;
    TwipRect frame;
    std::span<const ControlDesign> controls;
    SIZE clientTwips;
};
AboutDesign AboutWindowDesign();

inline constexpr wchar_t kAboutWindowClass[] = L"QuelvoAboutWindow";

} // namespace quelvo
