#include "ui/design.h"
#include "window_fixture.h"

namespace quelvo::test {
namespace {

struct Label {
    int id;
    RECT pixels;
    std::wstring text;
};

// Labels inside the frame stand at the frame's corner (2160, 120 twips) plus their own place.
const std::vector<Label> kLabels = {
    {IDC_ABOUT_LABEL3, {160, 29, 340, 48}, L"Et les viewers : "},
    {IDC_ABOUT_LABEL8, {256, 29, 343, 42}, L"- Cortona 5.0"},
    {IDC_ABOUT_LABEL4, {256, 40, 344, 59}, L"- Blaxxun 5.1"},
    {IDC_ABOUT_LABEL6, {256, 53, 347, 75}, L"- CosmoPlayer 2.0"},
    {IDC_ABOUT_LABEL7, {256, 65, 302, 84}, L"- Pivoron"},
    {IDC_ABOUT_LABEL5, {256, 77, 361, 96}, L"- Octaga 2.1"},
    {IDC_ABOUT_LABEL2, {256, 91, 361, 116}, L"- BS Contact 7.0"},
    {IDC_ABOUT_LABEL9, {256, 104, 361, 117}, L"- Flux 2.0"},
    {IDC_ABOUT_LABEL11, {160, 128, 289, 145}, L"BUG Connus :"},
    {IDC_ABOUT_LABEL10, {160, 144, 345, 161}, L"- Conflit entre Blaxxun et BS Contact"},
    {IDC_ABOUT_LABEL1, {184, 176, 331, 237}, L"Quelvo 2.0.0"},
    {IDC_ABOUT_FRAME1, {144, 8, 368, 171}, L"Compatible XP"},
    {IDC_ABOUT_IMAGE1, {8, 6, 137, 249}, L""},
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
    void ExpectExactPlace(HWND about, const Label &label) {
        RECT rect;
        GetWindowRect(GetDlgItem(about, label.id), &rect);
        MapWindowPoints(nullptr, about, reinterpret_cast<POINT *>(&rect), 2);
        EXPECT_TRUE(EqualRect(&rect, &label.pixels)) << label.id;
        EXPECT_EQ(Text(GetDlgItem(about, label.id)), label.text);
    }
    void ExpectDesign(HWND about) {
        EXPECT_EQ(Text(about), L"A Propos de...");
        RECT client;
        GetClientRect(about, &client);
        EXPECT_EQ(client.right, 373);
        EXPECT_EQ(client.bottom, 256);
        EXPECT_FALSE(GetWindowLongPtrW(about, GWL_STYLE) & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
        EXPECT_EQ(GetWindow(about, GW_OWNER), nullptr);
        RECT frame;
        GetWindowRect(about, &frame);
        EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
        EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
        for (const Label &label : kLabels) {
            if (label.id == IDC_ABOUT_FRAME1 || label.id == IDC_ABOUT_IMAGE1 || label.id == IDC_ABOUT_LABEL1) {
                ExpectExactPlace(about, label);
                continue;
            }
            SCOPED_TRACE(label.id);
            HWND control = GetDlgItem(about, label.id);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(Text(control), label.text);
            RECT rect;
            GetWindowRect(control, &rect);
            MapWindowPoints(nullptr, about, reinterpret_cast<POINT *>(&rect), 2);
            SIZE text = {};
            HDC dc = GetDC(control);
            HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
            GetTextExtentPoint32W(dc, label.text.c_str(), static_cast<int>(label.text.size()), &text);
            SelectObject(dc, previous);
            ReleaseDC(control, dc);
            EXPECT_TRUE(text.cx <= rect.right - rect.left || rect.right == 366)
                << "the text fits, or reaches the frame";
            // A label may only grow to the right, where the font is wider than the design's.
            EXPECT_EQ(rect.left, label.pixels.left);
            EXPECT_EQ(rect.top, label.pixels.top);
            EXPECT_EQ(rect.bottom, label.pixels.bottom);
            EXPECT_GE(rect.right, label.pixels.right);
            EXPECT_LE(rect.right, 366);
        }
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
