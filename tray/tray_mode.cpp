#include "icon_data.h"
#include "ui/main_window.h"
#include "ui/resource.h"

namespace quelvo {

void MainWindow::TrayCommand() {
    menu_.SetChecked(IDM_MSYSTRAY, true);
    menu_.SetChecked(IDM_MVISIBLE, false);
    menu_.SetVisible(IDM_MOUVRIR, true);
    menu_.SetVisible(IDM_MTIR2, true);
    const auto picture = reinterpret_cast<HICON>(SendDlgItemMessageW(hwnd_, IDC_IMAGE1, STM_GETICON, 0, 0));
    FillIconData(iconData_, hwnd_, picture);
    // Without an icon the hidden window could not be reached again, so it stays shown.
    if (services_.notificationArea.Add(iconData_) || IconIsPresent()) ShowWindow(hwnd_, SW_HIDE);
    menu_.SetVisible(IDM_MENU, true);
}

void MainWindow::RestoreCommand() {
    ShowWindow(hwnd_, SW_SHOW);
    menu_.SetVisible(IDM_MOUVRIR, false);
    menu_.SetVisible(IDM_MTIR2, false);
}

void MainWindow::OnIconCallback(UINT mouseMessage) {
    // The pop-up's own message loop delivers further notifications; they must not open a second one.
    if (trayBusy_) return;
    trayBusy_ = true;
    switch (mouseMessage) {
    case WM_LBUTTONDBLCLK:
        RestoreCommand();
        break;
    case WM_RBUTTONUP:
        ShowPopupMenu();
        break;
    }
    trayBusy_ = false;
}

void MainWindow::ShowPopupMenu() {
    // Foreground first, and WM_NULL after, so that the menu closes when the user clicks elsewhere.
    SetForegroundWindow(hwnd_);
    POINT pointer = {};
    GetCursorPos(&pointer);
    const UINT command = TrackPopupMenuEx(menu_.DropDown(), TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD, pointer.x,
                                          pointer.y, hwnd_, nullptr);
    PostMessageW(hwnd_, WM_NULL, 0, 0);
    if (command) OnCommand(static_cast<int>(command));
}

bool MainWindow::IconIsPresent() {
    IconData probe = iconData_;
    probe.uFlags = 0; // changes nothing, answers whether the icon exists
    return services_.notificationArea.Modify(probe);
}

void MainWindow::RemoveIcon() {
    AddressIconData(iconData_, hwnd_);
    services_.notificationArea.Delete(iconData_);
}

void MainWindow::OnTaskbarCreated() {
    // A restarted shell has forgotten the icon; without it a window hidden in the tray is out of reach.
    if (menu_.IsChecked(IDM_MSYSTRAY)) services_.notificationArea.Add(iconData_);
}

} // namespace quelvo
