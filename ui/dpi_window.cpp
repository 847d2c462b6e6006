#include "dpi_window.h"

#include "artwork.h"
#include "design.h"
#include "platform/dpi_win.h"

namespace quelvo {

SIZE WindowFrame::SizeAt(UINT dpi) const {
    return WindowSizeForClient(clientTwips.cx, clientTwips.cy, style, 0, hasMenu, dpi);
}

void WindowFrame::OnGetMinMaxInfo(UINT dpi, MINMAXINFO *info) const {
    const SIZE size = SizeAt(dpi);
    info->ptMinTrackSize = {size.cx, size.cy};
}

HWND DpiWindow::Create(HINSTANCE instance, const wchar_t *className, WNDPROC procedure, const wchar_t *title,
                       HMENU menu, void *state) const {
    RegisterWindowClass(instance, className, procedure);
    const SIZE size = frame_.SizeAt(SystemDpi());
    const POINT corner = CentredOnScreen(size);
    return CreateWindowExW(0, className, title, frame_.style, corner.x, corner.y, size.cx, size.cy, nullptr, menu,
                           instance, state);
}

void DpiWindow::Attach(HWND hwnd) {
    hwnd_ = hwnd;
    dpi_ = WindowDpi(hwnd);
    if (dpi_ != SystemDpi()) { // created on a screen whose DPI is not the system's
        const SIZE size = frame_.SizeAt(dpi_);
        SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void DpiWindow::Detach() {
    hwnd_ = nullptr;
    bigIcon_.Reset();
    smallIcon_.Reset();
}

HINSTANCE DpiWindow::Instance() const {
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
}

void DpiWindow::ShowIcons() {
    bigIcon_.Reset(LoadProgramIcon(Instance(), LargeIconSize(dpi_)));
    smallIcon_.Reset(LoadProgramIcon(Instance(), SmallIconSize(dpi_)));
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
}

void DpiWindow::OnDpiChanged(UINT dpi, const RECT &suggested) {
    dpi_ = dpi;
    MoveToSuggestedRect(hwnd_, suggested);
}

LRESULT DpiWindow::OnGetDpiScaledSize(WPARAM dpi, LPARAM size) const {
    *reinterpret_cast<SIZE *>(size) = frame_.SizeAt(static_cast<UINT>(dpi));
    return TRUE;
}

void DpiWindow::OnGetMinMaxInfo(MINMAXINFO *info) const {
    frame_.OnGetMinMaxInfo(dpi_, info);
}

} // namespace quelvo
