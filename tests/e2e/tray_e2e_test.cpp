#include "e2e_fixture.h"

#include <cstdlib>

namespace quelvo::e2e {
namespace {

bool Topmost(HWND hwnd) {
    return GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST;
}

class TrayEndToEnd : public EndToEndTest {
protected:
    void SendToTray() {
        program.Command(IDM_MSYSTRAY);
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(program.Window()); }));
    }
    void OpenPopupFromTheIcon() {
        ASSERT_TRUE(program.OpenIconPopup()) << "no pop-up of the program after a right click on its icon";
    }
};

TEST_F(TrayEndToEnd, StartsShownWithItsIconAndTheIconBringsItBack) {
    ASSERT_TRUE(program.Start());
    EXPECT_TRUE(program.IconPresent());
    SendToTray();
    EXPECT_TRUE(program.IconPresent());
    program.Command(IDM_MSYSTRAY); // chosen again
    program.Settle();
    EXPECT_FALSE(IsWindowVisible(program.Window()));
    EXPECT_EQ(program.FindMessageBox(), nullptr);
    program.Notify(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(program.Window()); }));
    SendToTray();
    program.Command(IDM_MOUVRIR);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(program.Window()); }));
}

TEST_F(TrayEndToEnd, TheIconsPopupIgnoresNotificationsAndOffersOuvrir) {
    ASSERT_TRUE(program.Start());
    SendToTray();
    OpenPopupFromTheIcon();
    program.Notify(WM_LBUTTONDBLCLK);
    ASSERT_TRUE(program.Settle()) << "the pop-up's own loop handles sent messages";
    EXPECT_FALSE(IsWindowVisible(program.Window())) << "a double-click while the pop-up is open is ignored";
    EXPECT_NE(program.PopupMenu(), nullptr);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return program.PopupMenu() == nullptr; }, 5s));
    EXPECT_FALSE(IsWindowVisible(program.Window()));

    OpenPopupFromTheIcon();
    PressKey(VK_DOWN); // "Ouvrir", the first item
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(program.Window()); }));
}

TEST_F(TrayEndToEnd, QuitFromThePopupWhileHiddenEndsTheProgram) {
    ASSERT_TRUE(program.Start());
    SendToTray();
    OpenPopupFromTheIcon();
    for (int i = 0; i < 4; ++i)
        PressKey(VK_DOWN); // Ouvrir, Viewer, Options, Quitter: separators are skipped
    PressKey(VK_RETURN);
    EXPECT_TRUE(program.Exited());
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST_F(TrayEndToEnd, AlwaysOnTopRemovesTheIconAndKeepsTheWindowAboveWhereItWas) {
    // Also run at 120 dots per inch, where a position kept in twips at 15 per pixel would move the window.
    if (const char *expected = std::getenv("QUELVO_EXPECT_DPI")) {
        HDC screen = GetDC(nullptr);
        ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSX), std::atoi(expected));
        ReleaseDC(nullptr, screen);
    }
    ASSERT_TRUE(program.Start());
    RECT before;
    GetWindowRect(program.Window(), &before);
    SendToTray();
    program.Command(IDM_MVISIBLE);
    ASSERT_TRUE(WaitFor([&] { return Topmost(program.Window()); }));
    EXPECT_TRUE(IsWindowVisible(program.Window()));
    EXPECT_FALSE(program.IconPresent()) << "removed while the program still runs";
    RECT after;
    GetWindowRect(program.Window(), &after);
    EXPECT_TRUE(EqualRect(&before, &after)) << after.left << "," << after.top;

    program.Command(IDM_MVISIBLE);
    program.Settle();
    EXPECT_TRUE(Topmost(program.Window()));
    EXPECT_FALSE(program.IconPresent());

    SendToTray();
    EXPECT_TRUE(program.IconPresent());
    program.Command(IDM_MOUVRIR);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(program.Window()); }));
    EXPECT_TRUE(Topmost(program.Window()));
}

TEST_F(TrayEndToEnd, CloseHidesInTrayModeAndEndsTheProgramOtherwise) {
    ASSERT_TRUE(program.Start());
    PostMessageW(program.Window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(program.Window()); }));
    ASSERT_TRUE(program.Settle()) << "the close was handled and the program still answers";
    EXPECT_FALSE(program.Exited(300ms));
    EXPECT_TRUE(program.IconPresent());
    program.Command(IDM_MOUVRIR); // and it still acts
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(program.Window()); }));

    program.Command(IDM_MVISIBLE);
    ASSERT_TRUE(WaitFor([&] { return !program.IconPresent(); }));
    PostMessageW(program.Window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.Exited());
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST_F(TrayEndToEnd, AnOpenAboutWindowOutlivesTheMainWindowButNotQuit) {
    ASSERT_TRUE(program.Start());
    program.Command(IDM_PROPOS);
    ASSERT_TRUE(WaitFor([] { return FindWindowW(L"QuelvoAboutWindow", nullptr) != nullptr; }));
    program.Command(IDM_MVISIBLE);
    program.Settle();
    PostMessageW(program.Window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return program.Window() == nullptr; }));
    const HWND about = FindWindowW(L"QuelvoAboutWindow", nullptr);
    ASSERT_TRUE(RoundTrip(about)) << "the about window still answers once the destruction has been handled";
    EXPECT_FALSE(program.Exited(300ms)) << "the about window keeps the program running";
    EXPECT_TRUE(RoundTrip(about));
    PostMessageW(about, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.Exited());

    program.Kill();
    ASSERT_TRUE(program.Start());
    program.Command(IDM_PROPOS);
    ASSERT_TRUE(WaitFor([] { return FindWindowW(L"QuelvoAboutWindow", nullptr) != nullptr; }));
    program.Command(IDM_MQUITTER);
    EXPECT_TRUE(program.Exited());
    EXPECT_EQ(FindWindowW(L"QuelvoAboutWindow", nullptr), nullptr);
}

TEST_F(TrayEndToEnd, ASecondStartEndsSilentlyAndLeavesTheFirstAlone) {
    ASSERT_TRUE(program.Start());
    for (bool hidden : {false, true}) {
        SCOPED_TRACE(hidden ? "first hidden in the tray" : "first shown");
        if (hidden) SendToTray();
        Program second;
        ASSERT_TRUE(second.Launch());
        EXPECT_TRUE(second.Exited(5s));
        EXPECT_EQ(second.ExitCode(), 0u);
        EXPECT_EQ(CountTopLevelWindows(L"QuelvoMainWindow"), 1);
        EXPECT_EQ(IsWindowVisible(program.Window()) != FALSE, !hidden);
        EXPECT_EQ(program.StatusText(), L"Octaga");
        EXPECT_TRUE(program.IconPresent());
    }
}

TEST_F(TrayEndToEnd, TheIconComesBackWhenTheTaskbarIsRecreated) {
    ASSERT_TRUE(program.Start());
    SendToTray();
    program.DeleteIcon();
    ASSERT_FALSE(program.IconPresent());
    PostMessageW(program.Window(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitFor([&] { return program.IconPresent(); }));
}

TEST_F(TrayEndToEnd, TheEndOfTheSessionIsAcceptedAndEndsTheProgramCleanly) {
    ASSERT_TRUE(program.Start());
    SendToTray();
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(program.Window(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    SendMessageTimeoutW(program.Window(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, nullptr);
    EXPECT_TRUE(program.Exited());
    EXPECT_EQ(program.ExitCode(), 0u);
}

} // namespace
} // namespace quelvo::e2e
