#include "window_modes.h"

#include "on_top.h"

namespace quelvo {

void WindowModes::EnterTrayMode(HICON picture) {
    trayMode_ = true;
    menu_.ShowModeChecked(true);
    menu_.OfferRestore(true);
    // Without an icon the hidden window could not be reached again, so it stays shown.
    if (icon_.Add(window_, picture)) ShowWindow(window_, SW_HIDE);
}

void WindowModes::EnterAlwaysOnTop() {
    trayMode_ = false;
    menu_.ShowModeChecked(false);
    menu_.OfferRestore(false);
    icon_.Remove(window_);
    ShowWindow(window_, SW_SHOW);
    SetOnTop(window_, -1);
}

void WindowModes::Restore() {
    ShowWindow(window_, SW_SHOW);
    menu_.OfferRestore(false);
}

bool WindowModes::HideOnClose() {
    ShowWindow(window_, SW_HIDE);
    menu_.OfferRestore(true);
    return trayMode_ && icon_.IsPresent();
}

void WindowModes::OnTaskbarCreated() {
    // Without the icon a window hidden in the tray is out of reach.
    if (trayMode_) icon_.AddAgain();
}

void WindowModes::OnIconCallback(UINT mouseMessage) {
    // The pop-up's own message loop delivers further notifications; they must not open a second one.
    if (popupOpen_) return;
    popupOpen_ = true;
    switch (mouseMessage) {
    case WM_LBUTTONDBLCLK:
        Restore();
        break;
    case WM_RBUTTONUP:
        ShowPopupMenu();
        break;
    }
    popupOpen_ = false;
}

void WindowModes::ShowPopupMenu() {
    // Foreground first, and WM_NULL after, so that the menu closes when the user clicks elsewhere.
    SetForegroundWindow(window_);
    POINT pointer = {};
    GetCursorPos(&pointer);
    const UINT command = TrackPopupMenuEx(menu_.PopupMenu(), TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD,
                                          pointer.x, pointer.y, window_, nullptr);
    if (!IsWindow(window_)) return; // ended while the menu was open
    PostMessageW(window_, WM_NULL, 0, 0);
    if (command) menu_.RunCommand(command);
}

} // namespace quelvo
