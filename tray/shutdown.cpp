#include "ui/main_window.h"
#include "ui/resource.h"

namespace quelvo {

bool MainWindow::OnCloseRequest() {
    ShowWindow(hwnd_, SW_HIDE);
    const bool refused = menu_.IsChecked(IDM_MSYSTRAY);
    menu_.SetVisible(IDM_MOUVRIR, true);
    menu_.SetVisible(IDM_MTIR2, true);
    return refused;
}

void MainWindow::OnClose() {
    if (!OnCloseRequest()) DestroyWindow(hwnd_);
}

void MainWindow::QuitCommand() {
    RemoveIcon();
    EndProgram();
}

void MainWindow::OnEndSession(bool ending) {
    // The session's end is never refused; the icon goes with it.
    if (!ending) return;
    RemoveIcon();
    EndProgram();
}

} // namespace quelvo
