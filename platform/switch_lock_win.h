#pragma once
// The PC-wide switch lock as a named mutex in the Global\ namespace, seen by every session. Created with owner
// Administrators and a DACL that grants SYSTEM and Administrators SYNCHRONIZE | MUTEX_MODIFY_STATE only, so a
// standard user can neither hold it nor change it. A standard user could still create an object of that name
// first; an existing object not owned by Administrators is refused at once (ForeignOwner), as is one that cannot
// be opened (Unavailable), rather than waited for.

#include "core/switch_lock.h"
#include "unique_handle_win.h"

#include <windows.h>

#include <string>

namespace quelvo {

inline constexpr wchar_t kSwitchLockName[] = L"Global\\Quelvo.MachineSwitch.1";

// Whether a kernel object's owner is the Administrators group; the error when its owner could not be read.
struct OwnerCheck {
    bool administrators = false;
    DWORD error = ERROR_SUCCESS;
};
OwnerCheck OwnerOfObject(HANDLE object);

class Win32SwitchLock : public SwitchLock {
public:
    // Another name only for tests that must not meet a real switch.
    explicit Win32SwitchLock(std::wstring name = kSwitchLockName);

    // Waits with WaitForSingleObject: for a program without a window.
    LockResult Acquire(std::uint32_t waitMilliseconds) override;
    // For a window's thread: the same, but waits with MsgWaitForMultipleObjectsEx and dispatches the thread's
    // messages meanwhile, so the window keeps painting and answering. Those messages run inside this call: the
    // caller's one-switch-at-a-time guard must already be set, so that a click dispatched here cannot start
    // another switch. WM_QUIT is posted again and ends the wait as Busy.
    LockResult AcquirePumping(std::uint32_t waitMilliseconds);
    void Release() override;

private:
    // Held here means opened and owned by Administrators, not yet waited for.
    LockResult Open();
    LockResult Finish(DWORD wait);

    std::wstring name_;
    UniqueKernelHandle mutex_;
};

} // namespace quelvo
