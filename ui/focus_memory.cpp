#include "focus_memory.h"

namespace quelvo {

void FocusMemory::OnActivate(UINT state, bool minimized) {
    if (state == WA_INACTIVE)
        Remember();
    else if (!minimized)
        Restore();
}

void FocusMemory::OnShowWindow(bool shown) {
    // Hiding takes the focus away without a deactivation, and showing an active window activates nothing; the
    // check comes once the window is shown.
    if (!shown)
        Remember();
    else
        PostMessageW(window_, restoreMessage_, 0, 0);
}

void FocusMemory::OnRestoreMessage() {
    if (GetActiveWindow() == window_ && !IsChild(window_, GetFocus())) Restore();
}

void FocusMemory::Remember() {
    const HWND focus = GetFocus();
    if (focus && IsChild(window_, focus)) focused_ = focus;
}

void FocusMemory::Restore() {
    const bool remembered = focused_ && IsChild(window_, focused_) && IsWindowEnabled(focused_);
    SetFocus(remembered ? focused_ : FirstTabStop());
}

HWND FocusMemory::FirstTabStop() const {
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if ((GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(child) && IsWindowEnabled(child))
            return child;
    return window_;
}

} // namespace quelvo
