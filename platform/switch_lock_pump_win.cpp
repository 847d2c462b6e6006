// The window's wait for the lock, apart from the rest: it needs user32, which the command line never loads for it.
#include "switch_lock_win.h"

namespace quelvo {

LockResult Win32SwitchLock::AcquirePumping(std::uint32_t waitMilliseconds) {
    if (const LockResult opened = Open(); !opened.Held()) return opened;
    // Free, as it nearly always is: taken by a plain wait, which costs a click less than one that also watches the
    // window's queue.
    if (const DWORD now = WaitForSingleObject(mutex_.Get(), 0); now != WAIT_TIMEOUT) return Finish(now);
    const ULONGLONG deadline = GetTickCount64() + waitMilliseconds;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        HANDLE handle = mutex_.Get();
        const DWORD wait = MsgWaitForMultipleObjectsEx(1, &handle, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (wait != WAIT_OBJECT_0 + 1) return Finish(wait);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return Finish(WAIT_TIMEOUT);
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

} // namespace quelvo
