#include "window_fixture.h"

namespace quelvo::test {
namespace {

// The labels' texts; where each control stands is checked at every DPI by the DPI tests.
const std::vector<std::pair<int, std::wstring>> kLabels = {
    {IDC_ABOUT_LABEL3, L"Et les viewers : "},
    {IDC_ABOUT_LABEL8, L"- Cortona 5.0"},
    {IDC_ABOUT_LABEL4, L"- Blaxxun 5.1"},
    {IDC_ABOUT_LABEL6, L"- CosmoPlayer 2.0"},
    {IDC_ABOUT_LABEL7, L"- Pivoron"},
    {IDC_ABOUT_LABEL5, L"- Octaga 2.1"},
    {IDC_ABOUT_LABEL2, L"- BS Contact 7.0"},
    {IDC_ABOUT_LABEL9, L"- Flux 2.0"},
    {IDC_ABOUT_LABEL11, L"BUG Connus :"},
    {IDC_ABOUT_LABEL10, L"- Conflit entre Blaxxun et BS Contact"},
    {IDC_ABOUT_LABEL1, L"Quelvo 2.0.0"},
    {IDC_ABOUT_FRAME1, L"Compatible XP"},
};

class AboutTest : public WindowTest {
protected:
    std::vector<HWND> AboutWindows() const {
        std::vector<HWND> found;
        HWND hwnd = nullptr;
        while ((hwnd = FindWindowExW(nullptr, hwnd, kAboutWindowClass, nullptr)))
            found.push_back(hwnd);
        return found;
    }
    void ExpectDesign(HWND about) {
        EXPECT_EQ(Text(about), L"A Propos de...");
        EXPECT_FALSE(GetWindowLongPtrW(about, GWL_STYLE) & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
        EXPECT_EQ(GetWindow(about, GW_OWNER), nullptr);
        RECT frame;
        GetWindowRect(about, &frame);
        EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
        EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
        for (const auto &[id, text] : kLabels)
            EXPECT_EQ(Text(GetDlgItem(about, id)), text) << id;
    }
};

TEST_F(AboutTest, OneWindowWithTheDesignedTextsInPlace) {
    Start();
    Command(IDM_PROPOS);
    Command(IDM_PROPOS);
    ASSERT_EQ(AboutWindows().size(), 1u);
    ExpectDesign(AboutWindows().front());

    LOGFONTW title = {};
    const auto font =
        reinterpret_cast<HFONT>(SendDlgItemMessageW(AboutWindows().front(), IDC_ABOUT_LABEL1, WM_GETFONT, 0, 0));
    GetObjectW(font, sizeof title, &title);
    EXPECT_EQ(title.lfWeight, FW_BOLD);
    EXPECT_EQ(title.lfHeight, -24) << "18 points at 96 dots per inch";
    EXPECT_TRUE(GetWindowLongPtrW(GetDlgItem(AboutWindows().front(), IDC_ABOUT_LABEL1), GWL_STYLE) & SS_CENTER);
}

TEST_F(AboutTest, ReopensUnchangedAfterClosingAndAlsoWithTheMainWindowHidden) {
    Start();
    Command(IDM_PROPOS);
    HWND first = AboutWindows().front();
    SetWindowPos(first, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER); // the user moved it
    SendMessageW(first, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_TRUE(AboutWindows().empty());
    EXPECT_FALSE(quitPosted) << "closing the about window does not end the program";

    Command(IDM_MSYSTRAY);
    Command(IDM_PROPOS);
    ASSERT_EQ(AboutWindows().size(), 1u);
    EXPECT_TRUE(IsWindowVisible(AboutWindows().front()));
    EXPECT_FALSE(Shown());
    ExpectDesign(AboutWindows().front());
}

} // namespace
} // namespace quelvo::test
