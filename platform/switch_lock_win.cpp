#include "switch_lock_win.h"

#include <aclapi.h>
#include <sddl.h>

#include <memory>

namespace quelvo {
namespace {

// Owner Administrators; SYSTEM and Administrators may wait for it and release it (0x00100001 is SYNCHRONIZE |
// MUTEX_MODIFY_STATE), nobody may do more. The owner keeps READ_CONTROL, which the owner check needs.
constexpr wchar_t kLockSecurity[] = L"O:BAD:P(A;;0x00100001;;;SY)(A;;0x00100001;;;BA)";

struct LocalFreeDeleter {
    void operator()(void *memory) const { LocalFree(memory); }
};

} // namespace

OwnerCheck OwnerOfObject(HANDLE object) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD error = GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                                        nullptr, nullptr, &descriptor);
    std::unique_ptr<void, LocalFreeDeleter> keep(descriptor);
    if (error != ERROR_SUCCESS) return {false, error};
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof administrators;
    if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size)) return {false, GetLastError()};
    return {owner != nullptr && EqualSid(owner, administrators) != 0, ERROR_SUCCESS};
}

Win32SwitchLock::Win32SwitchLock(std::wstring name) : name_(std::move(name)) {}

LockResult Win32SwitchLock::Open() {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kLockSecurity, SDDL_REVISION_1, &descriptor, nullptr))
        return {LockState::Unavailable, GetLastError()};
    std::unique_ptr<void, LocalFreeDeleter> keep(descriptor);
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    HANDLE mutex = CreateMutexExW(&attributes, name_.c_str(), 0, SYNCHRONIZE | MUTEX_MODIFY_STATE | READ_CONTROL);
    const DWORD error = GetLastError();
    if (!mutex) return {LockState::Unavailable, error}; // not allowed to open it, or another kind of object
    mutex_.Reset(mutex);
    if (error == ERROR_ALREADY_EXISTS) {
        // Made by someone else: it is ours to wait for only if Administrators own it.
        const OwnerCheck owner = OwnerOfObject(mutex_.Get());
        if (owner.error != ERROR_SUCCESS) {
            mutex_.Reset();
            return {LockState::Unavailable, owner.error};
        }
        if (!owner.administrators) {
            mutex_.Reset();
            return {LockState::ForeignOwner, ERROR_SUCCESS};
        }
    }
    return {LockState::Held, ERROR_SUCCESS};
}

LockResult Win32SwitchLock::Finish(DWORD wait) {
    switch (wait) {
    case WAIT_OBJECT_0:
        return {LockState::Held, ERROR_SUCCESS};
    case WAIT_ABANDONED_0:
        return {LockState::HeldAfterAbandon, ERROR_SUCCESS};
    case WAIT_TIMEOUT:
        mutex_.Reset();
        return {LockState::Busy, ERROR_SUCCESS};
    default:
        break;
    }
    const DWORD error = GetLastError();
    mutex_.Reset();
    return {LockState::Unavailable, error};
}

LockResult Win32SwitchLock::Acquire(std::uint32_t waitMilliseconds) {
    if (const LockResult opened = Open(); !opened.Held()) return opened;
    return Finish(WaitForSingleObject(mutex_.Get(), waitMilliseconds));
}

void Win32SwitchLock::Release() {
    if (!mutex_) return;
    ReleaseMutex(mutex_.Get());
    mutex_.Reset();
}

} // namespace quelvo
