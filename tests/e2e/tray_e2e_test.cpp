#include "e2e_fixture.h"

namespace quelvo::e2e {
namespace {

// What only another process shows: real pointer input on the icon, a second start, the taskbar made again. The
// window's modes and its end are checked in process.
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

TEST_F(TrayEndToEnd, TheIconsPopupIgnoresNotificationsAndOffersOuvrir) {
    ASSERT_TRUE(program.Start()) << program.What();
    SendToTray();
    OpenPopupFromTheIcon();
    program.Notify(WM_LBUTTONDBLCLK);
    ASSERT_TRUE(program.Settle()) << "the pop-up's own loop handles sent messages";
    EXPECT_FALSE(IsWindowVisible(program.Window())) << "a double-click while the pop-up is open is ignored";
    EXPECT_NE(program.PopupMenu(), nullptr);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return program.PopupMenu() == nullptr; }));
    EXPECT_FALSE(IsWindowVisible(program.Window()));

    OpenPopupFromTheIcon();
    PressKey(VK_DOWN); // "Ouvrir", the first item
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(program.Window()); }));
}

TEST_F(TrayEndToEnd, QuitFromThePopupWhileHiddenEndsTheProgram) {
    ASSERT_TRUE(program.Start()) << program.What();
    SendToTray();
    OpenPopupFromTheIcon();
    for (int i = 0; i < 4; ++i)
        PressKey(VK_DOWN); // Ouvrir, Viewer, Options, Quitter: separators are skipped
    PressKey(VK_RETURN);
    EXPECT_TRUE(program.Exited());
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST_F(TrayEndToEnd, ASecondStartEndsSilentlyAndLeavesTheFirstAlone) {
    ASSERT_TRUE(program.Start()) << program.What();
    for (bool hidden : {false, true}) {
        SCOPED_TRACE(hidden ? "first hidden in the tray" : "first shown");
        if (hidden) SendToTray();
        Program second;
        ASSERT_TRUE(second.Launch()) << second.What();
        EXPECT_TRUE(second.Exited()) << second.What();
        EXPECT_EQ(second.ExitCode(), 0u);
        EXPECT_EQ(CountTopLevelWindows(L"QuelvoMainWindow"), 1);
        EXPECT_EQ(IsWindowVisible(program.Window()) != FALSE, !hidden);
        EXPECT_EQ(program.StatusText(), L"Octaga");
        EXPECT_TRUE(program.IconPresent());
    }
}

TEST_F(TrayEndToEnd, TheIconComesBackWhenTheTaskbarIsRecreated) {
    ASSERT_TRUE(program.Start()) << program.What();
    SendToTray();
    program.DeleteIcon();
    ASSERT_FALSE(program.IconPresent());
    PostMessageW(program.Window(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitFor([&] { return program.IconPresent(); }));
}

} // namespace
} // namespace quelvo::e2e
