#include "on_top.h"

#include "ui/main_window.h"
#include "ui/resource.h"

namespace quelvo {

void SetOnTop(HWND form, short position) {
    // The window's own pixel position keeps it in place at any screen resolution.
    RECT place = {};
    GetWindowRect(form, &place);
    const HWND insertAfter = reinterpret_cast<HWND>(static_cast<LONG_PTR>(position));
    SetWindowPos(form, insertAfter, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_FRAMECHANGED);
}

void MainWindow::AlwaysOnTopCommand() {
    menu_.SetChecked(IDM_MSYSTRAY, false);
    menu_.SetChecked(IDM_MVISIBLE, true);
    menu_.SetVisible(IDM_MTIR2, false);
    menu_.SetVisible(IDM_MOUVRIR, false);
    RemoveIcon();
    ShowWindow(hwnd_, SW_SHOW);
    SetOnTop(hwnd_, -1);
}

} // namespace quelvo
