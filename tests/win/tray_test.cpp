#include "tray/icon_data.h"
#include "window_fixture.h"

#include <cstring>

namespace quelvo::test {
namespace {

template <typename T> T At(const IconData &icon, std::size_t offset) {
    T value;
    std::memcpy(&value, reinterpret_cast<const char *>(&icon) + offset, sizeof value);
    return value;
}

TEST(IconDataRecord, BytesAreTheShellsFirstLayout) {
    IconData icon;
    std::memset(&icon, 0xAB, sizeof icon);
    const HWND owner = reinterpret_cast<HWND>(0x12345678);
    const HICON picture = reinterpret_cast<HICON>(0x9ABC);
    FillIconData(icon, owner, picture);

    EXPECT_EQ(At<DWORD>(icon, 0), 104u);
    EXPECT_EQ(At<HWND>(icon, 8), owner);
    EXPECT_EQ(At<UINT>(icon, 16), 1u);
    EXPECT_EQ(At<UINT>(icon, 20), 7u);
    EXPECT_EQ(At<UINT>(icon, 24), 512u);
    EXPECT_EQ(At<HICON>(icon, 32), picture);
    const char *tip = reinterpret_cast<const char *>(&icon) + 40;
    EXPECT_EQ(std::string(tip, 16), "Quelvo by Tarnix");
    EXPECT_EQ(tip[16], '\0');
    for (int i = 17; i < 64; ++i)
        EXPECT_EQ(tip[i], ' ') << i;

    // The removal calls name the icon again and leave the rest alone.
    icon.uFlags = 0x55;
    AddressIconData(icon, reinterpret_cast<HWND>(0x42));
    EXPECT_EQ(icon.hWnd, reinterpret_cast<HWND>(0x42));
    EXPECT_EQ(icon.uID, 1u);
    EXPECT_EQ(icon.uFlags, 0x55u);
    EXPECT_EQ(icon.hIcon, picture);
}

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
    EXPECT_TRUE(Checked(IDM_MSYSTRAY));
    EXPECT_FALSE(Checked(IDM_MVISIBLE));
    EXPECT_FALSE(Visible(IDM_MOUVRIR));
    EXPECT_FALSE(Topmost());
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

// The pop-up runs its own message loop; a thread timer acts from inside it as the shell and the user would.
struct PopupScript {
    HWND main = nullptr;
    bool sawMenu = false;
    bool shownDuringMenu = false;
    bool chooseFirstItem = false;
};
PopupScript *g_script = nullptr;

void CALLBACK ActInsidePopup(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (!g_script) return;
    HWND popup = FindWindowW(L"#32768", nullptr);
    g_script->sawMenu = popup && IsWindowVisible(popup);
    // A second notification while the pop-up is open, delivered as the shell does: it must be ignored.
    SendNotifyMessageW(g_script->main, WM_MOUSEMOVE, 1, WM_LBUTTONDBLCLK);
    SendNotifyMessageW(g_script->main, WM_MOUSEMOVE, 1, WM_RBUTTONUP);
    g_script->shownDuringMenu = IsWindowVisible(g_script->main);
    if (g_script->chooseFirstItem) {
        PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
    } else {
        PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    }
}

// The script's timer for one test: cleared however the test ends, also when the pop-up never opened and the
// timer has not fired, so that it cannot fire later in another test with a script that no longer exists.
class ArmedPopupScript {
public:
    explicit ArmedPopupScript(PopupScript &script) {
        g_script = &script;
        timer_ = SetTimer(nullptr, 0, 200, ActInsidePopup);
    }
    ArmedPopupScript(const ArmedPopupScript &) = delete;
    ArmedPopupScript &operator=(const ArmedPopupScript &) = delete;
    ~ArmedPopupScript() {
        KillTimer(nullptr, timer_);
        g_script = nullptr;
    }

private:
    UINT_PTR timer_ = 0;
};

TEST_F(TrayTest, RightButtonOpensThePopupWhichIgnoresFurtherNotifications) {
    Start();
    Command(IDM_MSYSTRAY);
    PopupScript script{Hwnd()};
    ArmedPopupScript armed(script);
    Notify(WM_RBUTTONUP);
    EXPECT_TRUE(script.sawMenu);
    EXPECT_FALSE(script.shownDuringMenu) << "the double-click during the pop-up was ignored";
    EXPECT_FALSE(Shown()) << "Escape chose nothing";
    Notify(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(Shown()) << "the busy flag is cleared once the pop-up has closed";
}

TEST_F(TrayTest, OuvrirChosenInThePopupRestoresTheWindow) {
    Start();
    Command(IDM_MSYSTRAY);
    PopupScript script{Hwnd()};
    script.chooseFirstItem = true;
    ArmedPopupScript armed(script);
    Notify(WM_RBUTTONUP);
    EXPECT_TRUE(script.sawMenu);
    EXPECT_TRUE(Shown());
    EXPECT_FALSE(Visible(IDM_MOUVRIR));
}

} // namespace
} // namespace quelvo::test
