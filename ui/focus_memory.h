#pragma once
// The control that had the focus, given it back as the dialog manager does: activation gives the focus back to the
// control that had it, else to the first tab stop.

#include <windows.h>

namespace quelvo {

class FocusMemory {
public:
    // restoreMessage: posted to the window itself, handed back to OnRestoreMessage.
    explicit FocusMemory(UINT restoreMessage) : restoreMessage_(restoreMessage) {}

    void Attach(HWND window) { window_ = window; }
    void OnActivate(UINT state, bool minimized);
    void OnShowWindow(bool shown);
    void OnRestoreMessage();

private:
    void Remember();
    void Restore();
    HWND FirstTabStop() const;

    UINT restoreMessage_;
    HWND window_ = nullptr;
    HWND focused_ = nullptr;
};

} // namespace quelvo
