#include "lock_holder.h"

#include "platform/switch_lock_win.h"

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

namespace quelvo::test {
namespace {

// A name of the tests' own, so that no real switch of the prefix meets them.
std::wstring TestLockName() {
    return L"Global\\Quelvo.LockTest." + std::to_wstring(GetCurrentProcessId()) + L"." +
           std::to_wstring(GetTickCount64());
}

TEST(SwitchLock, WaitsForAnotherHolderAndCountsAnAbandonedHoldAsHeld) {
    const std::wstring name = TestLockName();
    Win32SwitchLock lock(name);
    UniqueKernelHandle keep; // so that the object outlives its holders
    {
        LockHolder holder(name);
        ASSERT_EQ(holder.Result().state, LockState::Held);
        keep.Reset(OpenMutexW(SYNCHRONIZE | READ_CONTROL, FALSE, name.c_str()));
        ASSERT_TRUE(keep);
        // Owned by Administrators; only SYSTEM and Administrators may wait for it or release it, and nothing more.
        PSECURITY_DESCRIPTOR security = nullptr;
        ASSERT_EQ(GetSecurityInfo(keep.Get(), SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                  nullptr, nullptr, nullptr, nullptr, &security),
                  static_cast<DWORD>(ERROR_SUCCESS));
        wchar_t *text = nullptr;
        ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorW(
            security, SDDL_REVISION_1, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &text, nullptr));
        EXPECT_EQ(std::wstring(text), L"O:BAD:P(A;;0x100001;;;SY)(A;;0x100001;;;BA)");
        LocalFree(text);
        LocalFree(security);
        const ULONGLONG start = GetTickCount64();
        EXPECT_EQ(lock.Acquire(300).state, LockState::Busy);
        EXPECT_GE(GetTickCount64() - start, 250u) << "it waited";
        holder.LetGoAfter(200);
        const LockResult later = lock.Acquire(CeilingMs());
        EXPECT_EQ(later.state, LockState::Held);
        if (later.Held()) lock.Release();
    }
    // The command line's wait and the window's alike.
    for (const bool window : {false, true}) {
        {
            LockHolder abandoning(name, true);
            ASSERT_TRUE(abandoning.Result().Held());
            abandoning.LetGo();
            abandoning.Join();
        }
        const LockResult after = window ? lock.AcquirePumping(CeilingMs()) : lock.Acquire(CeilingMs());
        EXPECT_EQ(after.state, LockState::HeldAfterAbandon) << (window ? "the window's wait" : "the command line's");
        EXPECT_TRUE(after.Held());
        if (after.Held()) lock.Release();
    }
}

TEST(SwitchLock, RefusesAtOnceAnObjectOfThatNameItCannotTrust) {
    // A standard user could make it first: with the user as owner, or so that it cannot be opened, or as another
    // kind of object. None is waited for.
    for (const std::wstring dacl : {L"D:(A;;GA;;;WD)", L"D:"}) {
        SCOPED_TRACE(std::string(dacl.begin(), dacl.end()));
        const std::wstring name = TestLockName();
        UniqueKernelHandle planted = PlantMutexOwnedByUser(name, dacl);
        ASSERT_TRUE(planted);
        // A wait twice the ceiling: "at once" and "after the wait" stay apart however loaded the machine.
        const ULONGLONG start = GetTickCount64();
        const LockResult result = Win32SwitchLock(name).Acquire(2 * CeilingMs());
        EXPECT_LT(GetTickCount64() - start, CeilingMs()) << "refused at once";
        if (dacl == L"D:") {
            EXPECT_EQ(result.state, LockState::Unavailable);
            EXPECT_EQ(result.error, static_cast<RegistryError>(ERROR_ACCESS_DENIED));
        } else {
            EXPECT_EQ(result.state, LockState::ForeignOwner);
        }
    }
    const std::wstring name = TestLockName();
    UniqueKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
    EXPECT_EQ(Win32SwitchLock(name).Acquire(5000).state, LockState::Unavailable);
}

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) ++*reinterpret_cast<int *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(SwitchLock, TheWindowsWaitKeepsItsMessagesFlowingAndEndsOnQuit) {
    const std::wstring name = TestLockName();
    LockHolder holder(name);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = CountingProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"QuelvoLockTestWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    int handled = 0;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&handled));
    PostMessageW(window, WM_APP, 0, 0);

    Win32SwitchLock lock(name);
    EXPECT_EQ(lock.AcquirePumping(400).state, LockState::Busy);
    EXPECT_EQ(handled, 1) << "dispatched while waiting";

    PostQuitMessage(3);
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(lock.AcquirePumping(2 * CeilingMs()).state, LockState::Busy);
    EXPECT_LT(GetTickCount64() - start, CeilingMs()) << "the quit did not end the wait";
    MSG message;
    EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit stays for the main loop";
    EXPECT_EQ(message.wParam, 3u);

    holder.LetGoAfter(100);
    const LockResult held = lock.AcquirePumping(CeilingMs());
    EXPECT_EQ(held.state, LockState::Held);
    if (held.Held()) lock.Release();
    DestroyWindow(window);
}

} // namespace
} // namespace quelvo::test
