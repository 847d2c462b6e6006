#pragma once
// A second holder of the PC-wide switch lock, in a thread of its own as another process would hold it: it takes
// the lock, holds it until told to let go, and can end without letting go.

#include "limits.h"
#include "platform/switch_lock_win.h"
#include "platform/unique_handle_win.h"

#include <windows.h>

#include <sddl.h>

#include <string>

namespace quelvo::test {

class LockHolder {
public:
    explicit LockHolder(std::wstring name = kSwitchLockName, bool abandon = false)
        : name_(std::move(name)), abandon_(abandon), held_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          letGo_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          thread_(CreateThread(nullptr, 0, &LockHolder::Hold, this, 0, nullptr)) {
        WaitForSingleObject(held_.Get(), CeilingMs());
    }
    ~LockHolder() {
        LetGo();
        WaitForSingleObject(thread_.Get(), CeilingMs());
    }
    LockResult Result() const { return result_; }
    // Lets go at once, or after the given milliseconds from another thread's point of view.
    void LetGo() { SetEvent(letGo_.Get()); }
    void LetGoAfter(DWORD milliseconds) {
        delay_ = milliseconds;
        LetGo();
    }
    // Waits for the thread to end (for an abandoning holder: the lock is then abandoned).
    void Join() { WaitForSingleObject(thread_.Get(), CeilingMs()); }

private:
    static DWORD WINAPI Hold(void *self) {
        auto *holder = static_cast<LockHolder *>(self);
        Win32SwitchLock lock(holder->name_);
        holder->result_ = lock.Acquire(CeilingMs());
        SetEvent(holder->held_.Get());
        WaitForSingleObject(holder->letGo_.Get(), INFINITE);
        Sleep(holder->delay_);
        if (holder->result_.Held() && !holder->abandon_) lock.Release();
        // An abandoning holder ends its thread still owning the mutex; its handle closes with the lock object.
        return 0;
    }

    std::wstring name_;
    bool abandon_;
    LockResult result_;
    volatile DWORD delay_ = 0;
    UniqueKernelHandle held_;
    UniqueKernelHandle letGo_;
    UniqueKernelHandle thread_;
};

// An object of that name made first by this test's own account, as a standard user could: owner the user, with
// the given DACL in SDDL.
inline UniqueKernelHandle PlantMutexOwnedByUser(const std::wstring &name, const std::wstring &dacl) {
    HANDLE token = nullptr;
    BYTE buffer[256];
    DWORD size = 0;
    wchar_t *user = nullptr;
    const bool read = OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
                      GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) &&
                      ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(buffer)->User.Sid, &user);
    if (token) CloseHandle(token);
    if (!read) return {};
    const std::wstring descriptor = std::wstring(L"O:") + user + dacl;
    LocalFree(user);
    PSECURITY_DESCRIPTOR security = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(descriptor.c_str(), SDDL_REVISION_1, &security, nullptr))
        return {};
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, security, FALSE};
    UniqueKernelHandle planted(CreateMutexW(&attributes, FALSE, name.c_str()));
    LocalFree(security);
    return planted;
}

} // namespace quelvo::test
