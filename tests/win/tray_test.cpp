#include "box_script.h"
#include "tray/icon_data.h"
#include "window_fixture.h"

#include <string>

namespace quelvo::test {
namespace {

class TrayTest : public WindowTest {
protected:
    void Notify(UINT mouseMessage) {
        SendMessageW(Hwnd(), WM_MOUSEMOVE, 0, mouseMessage);
        Pump();
    }
    bool Topmost() const { return GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST; }
};

TEST_F(TrayTest, StartUpShowsTheWindowWithTheIconAndTrayModeOn) {
    Start();
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(tray.present);
    ASSERT_EQ(tray.Count(NIM_ADD), 1);
    const IconData &added = tray.calls.front().icon;
    EXPECT_EQ(added.hWnd, Hwnd());
    EXPECT_EQ(added.uCallbackMessage, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(added.hIcon, reinterpret_cast<HICON>(SendMessageW(Control(IDC_IMAGE1), STM_GETICON, 0, 0)));
    EXPECT_FALSE(Topmost()); // the menu's states at start-up are the menu tests'
}

// The tip field holds 63 characters and its NUL: a longer tip is cut, never run past the field, and the rest of the
// field is spaces as the shell's first record had it.
TEST(IconTip, FillsTheFieldWithTheTipItsNulAndSpaces) {
    IconData icon = {};
    FillIconData(icon, nullptr, nullptr, "Quelvo by Tarnix");
    EXPECT_EQ(std::string(icon.szTip), "Quelvo by Tarnix");
    EXPECT_EQ(std::string(icon.szTip + 17, sizeof icon.szTip - 17), std::string(sizeof icon.szTip - 17, ' '));
    const std::string longTip(80, 'x');
    FillIconData(icon, nullptr, nullptr, longTip);
    EXPECT_EQ(std::string(icon.szTip), longTip.substr(0, sizeof icon.szTip - 1));
}

TEST_F(TrayTest, TrayCommandHidesTheWindowAndTheIconBringsItBack) {
    Start();
    Command(IDM_MSYSTRAY);
    EXPECT_FALSE(Shown());
    EXPECT_TRUE(tray.present);
    EXPECT_TRUE(Visible(IDM_MOUVRIR));
    EXPECT_TRUE(Visible(IDM_MTIR2));

    Command(IDM_MSYSTRAY); // again: the add fails, the probe finds the icon
    EXPECT_FALSE(Shown());
    EXPECT_EQ(tray.Count(NIM_ADD), 3);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(GetMenu(Hwnd()), 0)), 7) << "one \"Ouvrir\", one separator";

    Command(IDM_MOUVRIR);
    EXPECT_TRUE(Shown());
    EXPECT_FALSE(Visible(IDM_MOUVRIR));
    EXPECT_TRUE(tray.present) << "restoring keeps the icon";

    Command(IDM_MSYSTRAY);
    Notify(WM_LBUTTONDOWN);
    Notify(WM_LBUTTONUP);
    Notify(WM_MOUSEMOVE);
    EXPECT_FALSE(Shown()) << "a single click or a move over the icon does nothing";
    Notify(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(Shown());
    EXPECT_FALSE(Visible(IDM_MOUVRIR));
    Notify(WM_LBUTTONDBLCLK); // while shown: stays shown
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(Checked(IDM_MSYSTRAY));
}

TEST_F(TrayTest, PointerMovesOverTheClientAreaNeverActAsTheIcon) {
    Start();
    Command(IDM_MSYSTRAY); // hidden, so that a restore would show
    RECT client;
    GetClientRect(Hwnd(), &client);
    ASSERT_GT(client.right, 0);
    // Every position the pointer can have in the client area, with the buttons it may hold down.
    for (int x = 0; x < client.right; ++x)
        for (WPARAM buttons : {WPARAM{0}, WPARAM{MK_LBUTTON}, WPARAM{MK_RBUTTON | MK_SHIFT}})
            SendMessageW(Hwnd(), WM_MOUSEMOVE, buttons, MAKELPARAM(x, client.bottom - 1));
    Pump();
    EXPECT_FALSE(Shown());
    EXPECT_TRUE(Visible(IDM_MOUVRIR));
    // The same message carrying the icon's double-click does act: the moves above went down the live path.
    SendMessageW(Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(WM_LBUTTONDBLCLK, 0));
    Pump();
    EXPECT_TRUE(Shown());
}

TEST_F(TrayTest, WithoutANotificationAreaTheWindowStaysShown) {
    tray.addSucceeds = false;
    Start();
    EXPECT_TRUE(Shown());
    Command(IDM_MSYSTRAY);
    EXPECT_TRUE(Shown()) << "hiding it would leave no way back";
    EXPECT_TRUE(Checked(IDM_MSYSTRAY));
    EXPECT_TRUE(Visible(IDM_MOUVRIR)) << "the command's other effects stay";
}

TEST_F(TrayTest, TaskbarCreatedBringsTheIconBackInTrayModeOnly) {
    Start();
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    Command(IDM_MSYSTRAY);
    tray.present = false; // the shell restarted and forgot it
    SendMessageW(Hwnd(), taskbarCreated, 0, 0);
    EXPECT_TRUE(tray.present);
    const IconData &readded = tray.calls.back().icon;
    EXPECT_EQ(tray.calls.back().message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(readded.uFlags, 7u);
    EXPECT_EQ(std::string(readded.szTip), "Quelvo by Tarnix");

    Command(IDM_MVISIBLE);
    SendMessageW(Hwnd(), taskbarCreated, 0, 0);
    EXPECT_FALSE(tray.present) << "no icon outside tray mode";
}

TEST_F(TrayTest, AlwaysOnTopRemovesTheIconAndKeepsTheWindowAboveInPlace) {
    Start();
    RECT before;
    GetWindowRect(Hwnd(), &before);
    Command(IDM_MSYSTRAY); // from the tray
    Command(IDM_MVISIBLE);
    EXPECT_FALSE(tray.present);
    const FakeNotificationArea::Call &removal = tray.calls.back();
    EXPECT_EQ(removal.message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(removal.icon.cbSize, 104u);
    EXPECT_EQ(removal.icon.hWnd, Hwnd());
    EXPECT_EQ(removal.icon.uID, 1u);
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(Topmost());
    EXPECT_TRUE(Checked(IDM_MVISIBLE));
    EXPECT_FALSE(Checked(IDM_MSYSTRAY));
    EXPECT_FALSE(Visible(IDM_MOUVRIR));
    EXPECT_FALSE(Visible(IDM_MTIR2));
    RECT after;
    GetWindowRect(Hwnd(), &after);
    EXPECT_TRUE(EqualRect(&before, &after));

    Command(IDM_MVISIBLE); // twice: the same state
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(Topmost());
    EXPECT_TRUE(Checked(IDM_MVISIBLE));
    EXPECT_FALSE(Visible(IDM_MOUVRIR));

    Command(IDM_MSYSTRAY); // tray mode afterwards: icon back, window hidden, still topmost
    EXPECT_TRUE(tray.present);
    EXPECT_FALSE(Shown());
    Command(IDM_MOUVRIR);
    EXPECT_TRUE(Topmost());
    EXPECT_TRUE(Checked(IDM_MSYSTRAY));
    EXPECT_FALSE(Checked(IDM_MVISIBLE));
}

class PopupTest : public TrayTest {
protected:
    // Opens the icon's pop-up in tray mode; inside it, a second notification as the shell delivers one, then a key.
    void OpenPopupAndPress(WPARAM key) {
        Start();
        Command(IDM_MSYSTRAY);
        BoxScript script;
        script.inPopup = [&](HWND popup) {
            sawMenu = true;
            SendNotifyMessageW(Hwnd(), WM_MOUSEMOVE, 1, WM_LBUTTONDBLCLK);
            SendNotifyMessageW(Hwnd(), WM_MOUSEMOVE, 1, WM_RBUTTONUP);
            shownDuringMenu = Shown();
            if (key == VK_RETURN) PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageW(popup, WM_KEYDOWN, key, 0);
        };
        Notify(WM_RBUTTONUP);
        EXPECT_TRUE(sawMenu);
    }
    bool sawMenu = false;
    bool shownDuringMenu = false;
};

TEST_F(PopupTest, RightButtonOpensThePopupWhichIgnoresFurtherNotifications) {
    OpenPopupAndPress(VK_ESCAPE);
    EXPECT_FALSE(shownDuringMenu) << "the double-click during the pop-up was ignored";
    EXPECT_FALSE(Shown()) << "Escape chose nothing";
    Notify(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(Shown()) << "the busy flag is cleared once the pop-up has closed";
}

TEST_F(PopupTest, OuvrirChosenInThePopupRestoresTheWindow) {
    OpenPopupAndPress(VK_RETURN); // after Down: "Ouvrir", the first item
    EXPECT_TRUE(Shown());
    EXPECT_FALSE(Visible(IDM_MOUVRIR));
}

} // namespace
} // namespace quelvo::test
