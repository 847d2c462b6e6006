#include "e2e_fixture.h"

#include <thread>

namespace quelvo::e2e {
namespace {

// Not checks: pictures of what a person sees, for the README and for looking at.
TEST_F(EndToEndTest, ScreenshotsOfTheWindowTheMenuAndTheAboutWindow) {
    ASSERT_TRUE(program.Start());
    SetForegroundWindow(program.Window());
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(SaveScreenshot(L"main-window"));

    // A real click on "Paramétres" in the menu bar, just above the client area, then onto "Viewer".
    POINT client = {0, 0};
    ClientToScreen(program.Window(), &client);
    const int menuHeight = GetSystemMetrics(SM_CYMENU);
    // Pointer presses injected from another process are sometimes lost under Wine; a person clicks again.
    bool opened = false;
    for (int attempt = 0; attempt < 3 && !opened; ++attempt) {
        ClickAt({client.x + 20, client.y - menuHeight / 2});
        opened = WaitFor([] { return FindWindowW(L"#32768", nullptr) != nullptr; }, 2s);
    }
    ASSERT_TRUE(opened);
    SetCursorPos(client.x + 30, client.y + menuHeight / 2 + 4);
    std::this_thread::sleep_for(800ms);
    EXPECT_TRUE(SaveScreenshot(L"menu-viewer"));
    PressKey(VK_ESCAPE);
    PressKey(VK_ESCAPE);
    PressKey(VK_ESCAPE);

    program.Command(IDM_PROPOS);
    ASSERT_TRUE(WaitFor([] { return FindWindowW(L"QuelvoAboutWindow", nullptr) != nullptr; }));
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(SaveScreenshot(L"about-window"));
}

} // namespace
} // namespace quelvo::e2e
