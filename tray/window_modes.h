#pragma once
// The window's two modes: hidden in the notification area with an icon ("tray mode", on at start-up), or shown
// above all other windows without one ("always on top"), and the icon's own clicks and pop-up.

#include "notification_icon.h"

#include <windows.h>

namespace quelvo {

// The menu as the modes see it; the window that owns both implements it.
class ModeMenu {
public:
    virtual ~ModeMenu() = default;
    virtual void ShowModeChecked(bool trayMode) = 0;
    // "Ouvrir" and its separator.
    virtual void OfferRestore(bool offered) = 0;
    virtual HMENU PopupMenu() = 0;
    virtual void RunCommand(UINT id) = 0;
};

class WindowModes {
public:
    WindowModes(NotificationIcon &icon, ModeMenu &menu) : icon_(icon), menu_(menu) {}
    WindowModes(const WindowModes &) = delete;
    WindowModes &operator=(const WindowModes &) = delete;

    void Attach(HWND window) { window_ = window; }

    void EnterTrayMode(HICON picture);
    void EnterAlwaysOnTop();
    void Restore();
    // Hides the window; true when the program must go on running, which needs tray mode and its icon.
    bool HideOnClose();
    void OnTaskbarCreated();
    void OnIconCallback(UINT mouseMessage);

private:
    void ShowPopupMenu();

    NotificationIcon &icon_;
    ModeMenu &menu_;
    HWND window_ = nullptr;
    bool trayMode_ = false;
    bool popupOpen_ = false;
};

} // namespace quelvo
