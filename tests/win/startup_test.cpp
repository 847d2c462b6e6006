#include "ui/startup.h"
#include "window_fixture.h"

namespace quelvo::test {
namespace {

// A CBT hook is the system's own way to veto a window's creation; it also sees the menu the window was to own.
HMENU g_menuOfRefusedWindow = nullptr;

LRESULT CALLBACK RefuseTheMainWindow(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTW *create = reinterpret_cast<CBT_CREATEWNDW *>(lParam)->lpcs;
        if (!IS_INTRESOURCE(create->lpszClass) && lstrcmpW(create->lpszClass, kMainWindowClass) == 0) {
            g_menuOfRefusedWindow = create->hMenu;
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(StartUp, AMainWindowThatCannotBeCreatedEndsTheProgramWithCode1AndFreesItsMenu) {
    FakeRegistry registry;
    FakeNotificationArea tray;
    FakeBackupStore backup;
    RecordingNotifier shell;
    FakeElevation elevation;
    FakeSystem system;
    FakeUserDefaults userDefaults;
    Win32SwitchLock switchLock(L"Global\\Quelvo.StartUpTest.Lock");
    HHOOK hook = SetWindowsHookExW(WH_CBT, RefuseTheMainWindow, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    PostQuitMessage(7); // should the window come to be after all, its message loop ends at once with 7
    const int exitCode = RunMainWindow(GetModuleHandleW(nullptr), {registry, registry, tray, backup, shell, elevation, system, userDefaults, switchLock});
    UnhookWindowsHookEx(hook);
    MSG leftover;
    while (PeekMessageW(&leftover, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }

    EXPECT_EQ(exitCode, 1);
    ASSERT_NE(g_menuOfRefusedWindow, nullptr) << "the window was to be created with its menu";
    EXPECT_FALSE(IsMenu(g_menuOfRefusedWindow)) << "the menu is freed";
    EXPECT_TRUE(tray.calls.empty()) << "no icon without a window";
    EXPECT_EQ(FindWindowW(kMainWindowClass, nullptr), nullptr);
}

} // namespace
} // namespace quelvo::test
