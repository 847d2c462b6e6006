// The windows at the DPI the Wine prefix runs at (QUELVO_EXPECT_DPI, 96 unless set): every rectangle is the
// design's twips at that DPI and every text fits its control.
#include "ui/resource.h"
#include "ui/version.h"
#include "window_fixture.h"

#include <cmath>
#include <cstdlib>

namespace quelvo::test {
namespace {

UINT ExpectedDpi() {
    const char *dpi = std::getenv("QUELVO_EXPECT_DPI");
    return dpi ? static_cast<UINT>(std::atoi(dpi)) : 96;
}

int Pixels(int twips, UINT dpi) {
    return static_cast<int>(std::lround(twips * static_cast<double>(dpi) / 1440));
}

RECT PlaceIn(HWND window, HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

SIZE BitmapSize(HANDLE bitmap) {
    BITMAP header = {};
    GetObjectW(bitmap, sizeof header, &header);
    return {header.bmWidth, header.bmHeight};
}

SIZE TextExtent(HWND control, const std::wstring &text, TEXTMETRICW *metrics = nullptr) {
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    if (metrics) GetTextMetricsW(dc, metrics);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return extent;
}

// A static shows its text in its client area, an edit box in its formatting rectangle; a frame's caption leaves
// at least an average character free on either side.
void ExpectTextFits(HWND control, const std::wstring &text) {
    SCOPED_TRACE(std::string(text.begin(), text.end()));
    TEXTMETRICW metrics = {};
    const SIZE extent = TextExtent(control, text, &metrics);
    RECT room;
    GetClientRect(control, &room);
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    if (lstrcmpiW(className, L"Edit") == 0) {
        RECT format;
        SendMessageW(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
        room.left = format.left;
        room.right = format.right;
    } else if (lstrcmpiW(className, L"Button") == 0) {
        InflateRect(&room, -metrics.tmAveCharWidth, 0);
    }
    EXPECT_LE(extent.cx, room.right - room.left);
    EXPECT_LE(extent.cy, room.bottom - room.top);
}

void ExpectClientArea(HWND window, SIZE twips, UINT dpi) {
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, Pixels(twips.cx, dpi));
    EXPECT_EQ(client.bottom, Pixels(twips.cy, dpi)) << "a menu bar of more than one line would take some of it";
}

void ExpectControlsAtTwips(HWND window, std::span<const ControlDesign> design, UINT dpi, POINT origin = {}) {
    for (const ControlDesign &control : design) {
        SCOPED_TRACE(control.id);
        HWND child = GetDlgItem(window, control.id);
        const RECT actual = PlaceIn(window, child);
        const int left = Pixels(origin.x + control.place.left, dpi), top = Pixels(origin.y + control.place.top, dpi);
        EXPECT_NEAR(actual.left, left, 1);
        EXPECT_NEAR(actual.top, top, 1);
        EXPECT_NEAR(actual.right, left + Pixels(control.place.width, dpi), 1);
        EXPECT_NEAR(actual.bottom, top + Pixels(control.place.height, dpi), 1);
        if (*control.text && control.id != IDC_ABOUT_LABEL1) ExpectTextFits(child, control.text);
    }
}

class DpiTest : public WindowTest {
protected:
    HWND OpenAbout() {
        Command(IDM_PROPOS);
        return FindWindowW(kAboutWindowClass, nullptr);
    }

    void ExpectMainWindowAt(UINT dpi) {
        ExpectControlsAtTwips(Hwnd(), MainWindowDesign(), dpi);
        for (const ViewerRecord &viewer : Viewers())
            ExpectTextFits(Control(IDC_TEXT1), std::wstring(viewer.displayName.begin(), viewer.displayName.end()));
        for (int id = IDC_COMMAND1; id <= IDC_COMMAND8; ++id) {
            const SIZE badge = BitmapSize(reinterpret_cast<HANDLE>(SendMessageW(Control(id), BM_GETIMAGE, 0, 0)));
            const int designWidth = id == IDC_COMMAND4 ? 90 : 88; // the Pivoron badge is wider
            EXPECT_EQ(badge.cx, MulDiv(designWidth, static_cast<int>(dpi), 96)) << id;
        }
    }

    void ExpectAboutWindowAt(HWND about, UINT dpi) {
        const AboutDesign design = AboutWindowDesign();
        ExpectClientArea(about, design.clientTwips, dpi);
        ExpectControlsAtTwips(about, design.frameLabels, dpi, {design.frame.left, design.frame.top});
        ExpectControlsAtTwips(about, design.controls, dpi);
        // The title may wrap between its words, within its box.
        HWND title = GetDlgItem(about, IDC_ABOUT_LABEL1);
        RECT box;
        GetClientRect(title, &box);
        RECT needed = box;
        HDC dc = GetDC(title);
        HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(title, WM_GETFONT, 0, 0)));
        DrawTextW(dc, L"Quelvo " QUELVO_VERSION_TEXT, -1, &needed, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
        SelectObject(dc, previous);
        ReleaseDC(title, dc);
        EXPECT_LE(needed.right - needed.left, box.right);
        EXPECT_LE(needed.bottom - needed.top, box.bottom);
    }
};

TEST_F(DpiTest, ThePrefixDpiIsInForceAndTheProgramIsAwareOfIt) {
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSX)), ExpectedDpi());
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(IsProcessDPIAware()) << "the manifest declares DPI awareness";
}

TEST_F(DpiTest, BothWindowsStandAtTheTwipsOfTheDpiWithEveryTextInside) {
    const UINT dpi = ExpectedDpi();
    Start();
    ExpectClientArea(Hwnd(), MainWindowClientTwips(), dpi);
    ExpectMainWindowAt(dpi);
    MENUBARINFO bar = {};
    bar.cbSize = sizeof bar;
    ASSERT_TRUE(GetMenuBarInfo(Hwnd(), OBJID_MENU, 1, &bar));
    RECT window;
    GetWindowRect(Hwnd(), &window);
    EXPECT_LE(bar.rcBar.right, window.right) << "\"Paramétres\" fits the menu bar";
    EXPECT_EQ(GetMenuItemCount(GetMenu(Hwnd())), 1);

    const HICON small = reinterpret_cast<HICON>(SendMessageW(Hwnd(), WM_GETICON, ICON_SMALL, 0));
    ICONINFO icon = {};
    ASSERT_TRUE(GetIconInfo(small, &icon));
    EXPECT_EQ(BitmapSize(icon.hbmMask).cx, GetSystemMetrics(SM_CXSMICON));
    DeleteObject(icon.hbmMask);
    DeleteObject(icon.hbmColor);

    HWND about = OpenAbout();
    ASSERT_NE(about, nullptr);
    ExpectAboutWindowAt(about, dpi);
}

// Windows sends WM_DPICHANGED when a window moves to a screen of another DPI; Wine never does, so the test sends it.
TEST_F(DpiTest, ADpiChangeMovesToTheSuggestedRectangleAndLaysEverythingOutAgain) {
    const UINT dpi = ExpectedDpi(), other = dpi == 144 ? 96 : 144;
    Start();
    HWND about = OpenAbout();
    ASSERT_NE(about, nullptr);
    LOGFONTW before = {};
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(Control(IDC_TEXT1), WM_GETFONT, 0, 0)), sizeof before, &before);
    for (const UINT next : {other, dpi}) {
        SCOPED_TRACE(next);
        for (HWND window : {Hwnd(), about}) {
            SIZE size = {};
            SendMessageW(window, WM_GETDPISCALEDSIZE, next, reinterpret_cast<LPARAM>(&size));
            RECT suggested = {10, 20, 10 + size.cx, 20 + size.cy};
            SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(next, next), reinterpret_cast<LPARAM>(&suggested));
            RECT now;
            GetWindowRect(window, &now);
            EXPECT_TRUE(EqualRect(&now, &suggested));
        }
        ExpectMainWindowAt(next);
        const AboutDesign design = AboutWindowDesign();
        ExpectControlsAtTwips(about, design.frameLabels, next, {design.frame.left, design.frame.top});
        ExpectControlsAtTwips(about, design.controls, next);
        LOGFONTW font = {};
        GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(Control(IDC_TEXT1), WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_EQ(font.lfHeight < before.lfHeight, next > dpi) << "the font was made for the new DPI";
    }
}

} // namespace
} // namespace quelvo::test
