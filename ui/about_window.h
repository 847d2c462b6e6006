#pragma once
// The about window Form1: constant texts and the logo. At most one exists; closing destroys it.

#include "platform/unique_handle_win.h"

#include <windows.h>

#include <functional>

namespace quelvo {

class AboutWindow {
public:
    AboutWindow() = default;
    AboutWindow(const AboutWindow &) = delete;
    AboutWindow &operator=(const AboutWindow &) = delete;
    ~AboutWindow();

    // Creates the window if it does not exist, then shows it, modeless and without owner.
    void Show(HINSTANCE instance, HICON bigIcon, HICON smallIcon);
    void Destroy();
    bool IsOpen() const { return hwnd_ != nullptr; }
    HWND Handle() const { return hwnd_; }
    void OnClosed(std::function<void()> callback) { onClosed_ = std::move(callback); }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnCreate(HWND hwnd, LPCREATESTRUCTW create);
    void OnDrawItem(const DRAWITEMSTRUCT *item);
    HBRUSH OnCtlColorStatic(HDC dc);
    void OnNcDestroy();

    HWND hwnd_ = nullptr;
    UniqueGdiObject font_;
    UniqueGdiObject titleFont_;
    UniqueGdiObject logo_;
    std::function<void()> onClosed_;
};

inline constexpr wchar_t kAboutWindowClass[] = L"QuelvoAboutWindow";

} // namespace quelvo
