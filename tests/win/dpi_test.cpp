// The windows at the DPI the Wine prefix runs at (QUELVO_EXPECT_DPI, 96 unless set): every rectangle is the
// design's twips at that DPI and every text fits its control.
#include "ui/texts.h"
#include "viewer_ids.h"
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

SIZE BitmapSize(HANDLE bitmap) {
    BITMAP header = {};
    GetObjectW(bitmap, sizeof header, &header);
    return {header.bmWidth, header.bmHeight};
}

int IconEdge(LRESULT icon) {
    ICONINFO info = {};
    if (!GetIconInfo(reinterpret_cast<HICON>(icon), &info)) return 0;
    DeleteObject(info.hbmColor);
    const int edge = BitmapSize(info.hbmMask).cx;
    DeleteObject(info.hbmMask);
    return edge;
}

// The room a static has is its client area, an edit box's its formatting rectangle; a frame's caption leaves an
// average character free on either side. The about window's title may wrap between its words.
void ExpectTextFits(HWND control, const std::wstring &text) {
    SCOPED_TRACE(std::string(text.begin(), text.end()));
    RECT room, needed;
    GetClientRect(control, &room);
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    if (lstrcmpiW(className, L"Edit") == 0) {
        SendMessageW(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&needed));
        room.left = needed.left;
        room.right = needed.right;
    }
    const bool wraps = GetDlgCtrlID(control) == IDC_ABOUT_LABEL1;
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    if (lstrcmpiW(className, L"Button") == 0) InflateRect(&room, -metrics.tmAveCharWidth, 0);
    needed = {0, 0, room.right - room.left, 0};
    DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    EXPECT_LE(needed.right, room.right - room.left);
    EXPECT_LE(needed.bottom, room.bottom - room.top);
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
        RECT actual;
        GetWindowRect(child, &actual);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&actual), 2);
        const int left = Pixels(origin.x + control.place.left, dpi), top = Pixels(origin.y + control.place.top, dpi);
        EXPECT_NEAR(actual.left, left, 1);
        EXPECT_NEAR(actual.top, top, 1);
        EXPECT_NEAR(actual.right, left + Pixels(control.place.width, dpi), 1);
        EXPECT_NEAR(actual.bottom, top + Pixels(control.place.height, dpi), 1);
        if (control.textId) ExpectTextFits(child, LoadText(control.textId));
    }
}

class DpiTest : public WindowTest {
protected:
    HWND OpenAbout() {
        Command(IDM_PROPOS);
        return FindWindowW(kAboutWindowClass, nullptr);
    }

    void ExpectBothWindowsAt(HWND about, UINT dpi) {
        ExpectControlsAtTwips(Hwnd(), MainWindowDesign(), dpi);
        for (const ViewerRecord &viewer : Viewers())
            ExpectTextFits(Control(IDC_TEXT1), std::wstring(viewer.displayName.begin(), viewer.displayName.end()));
        for (const ViewerRecord &viewer : Viewers()) {
            const int id = IdsOf(viewer).button;
            const SIZE badge = BitmapSize(reinterpret_cast<HANDLE>(SendMessageW(Control(id), BM_GETIMAGE, 0, 0)));
            const int designWidth = id == IDC_COMMAND4 ? 90 : 88; // the Pivoron badge is wider
            EXPECT_EQ(badge.cx, MulDiv(designWidth, static_cast<int>(dpi), 96)) << id;
        }
        const AboutDesign design = AboutWindowDesign();
        ExpectControlsAtTwips(about, design.frameLabels, dpi, {design.frame.left, design.frame.top});
        ExpectControlsAtTwips(about, design.controls, dpi);
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
    HWND about = OpenAbout();
    ASSERT_NE(about, nullptr);
    ExpectClientArea(Hwnd(), MainWindowClientTwips(), dpi);
    ExpectClientArea(about, AboutWindowDesign().clientTwips, dpi);
    ExpectBothWindowsAt(about, dpi);
    MENUBARINFO item = {};
    item.cbSize = sizeof item;
    ASSERT_TRUE(GetMenuBarInfo(Hwnd(), OBJID_MENU, 1, &item));
    RECT window;
    GetWindowRect(Hwnd(), &window);
    EXPECT_LE(item.rcBar.right, window.right) << "\"Paramétres\" fits the menu bar";

    // Icons at the DPI's sizes, the notification icon among them.
    EXPECT_EQ(IconEdge(SendMessageW(Hwnd(), WM_GETICON, ICON_SMALL, 0)), GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(IconEdge(SendMessageW(Hwnd(), WM_GETICON, ICON_BIG, 0)), GetSystemMetrics(SM_CXICON));
    ASSERT_EQ(tray.Count(NIM_ADD), 1);
    EXPECT_EQ(IconEdge(reinterpret_cast<LRESULT>(tray.calls.front().icon.hIcon)), GetSystemMetrics(SM_CXSMICON));

    Command(IDM_MVISIBLE);
    RECT onTop;
    GetWindowRect(Hwnd(), &onTop);
    EXPECT_TRUE(EqualRect(&onTop, &window)) << "always on top, where it stood";
}

// Windows sends WM_DPICHANGED when a window moves to a screen of another DPI; Wine never does, so the test sends it.
TEST_F(DpiTest, ADpiChangeMovesToTheSuggestedRectangleAndLaysEverythingOutAgain) {
    const UINT dpi = ExpectedDpi(), other = dpi == 144 ? 96 : 144;
    Start();
    HWND about = OpenAbout();
    ASSERT_NE(about, nullptr);
    LOGFONTW before = {}, font = {};
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(Control(IDC_TEXT1), WM_GETFONT, 0, 0)), sizeof before, &before);
    for (const UINT next : {other, dpi}) {
        SCOPED_TRACE(next);
        for (HWND window : {Hwnd(), about}) {
            SIZE size = {};
            SendMessageW(window, WM_GETDPISCALEDSIZE, next, reinterpret_cast<LPARAM>(&size));
            RECT suggested = {10, 20, 10 + size.cx, 20 + size.cy}, now;
            SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(next, next), reinterpret_cast<LPARAM>(&suggested));
            GetWindowRect(window, &now);
            EXPECT_TRUE(EqualRect(&now, &suggested));
        }
        ExpectBothWindowsAt(about, next);
        GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(Control(IDC_TEXT1), WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_EQ(font.lfHeight < before.lfHeight, next > dpi) << "the font was made for the new DPI";
    }
}

} // namespace
} // namespace quelvo::test
