#include "box_script.h"
#include "window_fixture.h"

namespace quelvo::test {
namespace {

class ShutdownTest : public WindowTest {
protected:
    void Close() {
        SendMessageW(Hwnd(), WM_CLOSE, 0, 0);
        Pump();
    }
    HWND AboutWindow() const { return FindWindowW(kAboutWindowClass, nullptr); }
};

TEST_F(ShutdownTest, CloseInTrayModeOnlyHidesTheWindow) {
    Start();
    Close();
    ASSERT_TRUE(IsWindow(Hwnd()));
    EXPECT_FALSE(Shown());
    EXPECT_FALSE(quitPosted);
    EXPECT_TRUE(tray.present);
    EXPECT_TRUE(Visible(IDM_MOUVRIR));
    EXPECT_TRUE(Visible(IDM_MTIR2));
    Close(); // again, as a log-off would send it to the hidden window
    EXPECT_TRUE(IsWindow(Hwnd()));
    EXPECT_FALSE(quitPosted);
}

TEST_F(ShutdownTest, CloseInAlwaysOnTopModeEndsTheProgramWithNoIconLeft) {
    Start();
    Command(IDM_MVISIBLE);
    const HWND hwnd = Hwnd();
    Close();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(quitPosted);
    EXPECT_FALSE(tray.present);
}

TEST_F(ShutdownTest, AnOpenAboutWindowKeepsTheProgramRunningUntilItCloses) {
    Start();
    Command(IDM_PROPOS);
    Command(IDM_MVISIBLE);
    Close();
    EXPECT_FALSE(quitPosted);
    ASSERT_NE(AboutWindow(), nullptr);
    SendMessageW(AboutWindow(), WM_CLOSE, 0, 0);
    Pump();
    EXPECT_TRUE(quitPosted);
}

TEST_F(ShutdownTest, QuitRemovesTheIconAndEndsEverythingAtOnce) {
    Start();
    Command(IDM_PROPOS);
    Command(IDM_MSYSTRAY);
    const HWND hwnd = Hwnd(); // quitting destroys the window
    Command(IDM_MQUITTER);
    EXPECT_TRUE(quitPosted);
    EXPECT_FALSE(tray.present);
    EXPECT_EQ(tray.calls.back().message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(tray.calls.back().icon.hWnd, hwnd);
    EXPECT_EQ(AboutWindow(), nullptr);
}

TEST_F(ShutdownTest, TheEndOfTheSessionIsNeverRefused) {
    Start();
    Command(IDM_MSYSTRAY);
    EXPECT_EQ(SendMessageW(Hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    SendMessageW(Hwnd(), WM_ENDSESSION, FALSE, 0); // cancelled by another program: nothing happens
    Pump();
    EXPECT_TRUE(tray.present);
    EXPECT_FALSE(quitPosted);
    SendMessageW(Hwnd(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    Pump();
    EXPECT_FALSE(tray.present);
    EXPECT_TRUE(quitPosted);
}

class EndingTest : public WindowTest {};

TEST_F(EndingTest, WithoutAnIconCloseEndsTheProgram) {
    tray.addSucceeds = false;
    Start();
    const HWND hwnd = Hwnd();
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindow(hwnd)) << "hidden with no icon, it could never be reached again";
    EXPECT_FALSE(window->Running());
    EXPECT_TRUE(quitPosted);
}

TEST_F(EndingTest, QuitOrTheSessionsEndWhileThePopupIsOpenEndsTheProgram) {
    const std::vector<std::pair<UINT, WPARAM>> endings = {{WM_COMMAND, IDM_MQUITTER}, {WM_ENDSESSION, TRUE}};
    for (const auto &ending : endings) {
        SCOPED_TRACE(ending.first);
        Start();
        SendMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(IDM_MSYSTRAY, 0), 0);
        const HWND hwnd = Hwnd();
        bool sawMenu = false;
        BoxScript script;
        script.inPopup = [&](HWND) {
            sawMenu = true;
            SendMessageW(hwnd, ending.first, ending.second, 0);
        };
        SendMessageW(hwnd, WM_MOUSEMOVE, 0, WM_RBUTTONUP);
        Pump();
        EXPECT_TRUE(sawMenu);
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_EQ(FindWindowW(L"#32768", nullptr) && IsWindowVisible(FindWindowW(L"#32768", nullptr)), false);
        EXPECT_FALSE(window->Running()) << "the message loop ends even if the menu swallowed the quit";
        EXPECT_FALSE(tray.present);
        window.reset();
        tray = FakeNotificationArea();
    }
}

} // namespace
} // namespace quelvo::test
