#include "../core/expected_associations.h"
#include "../core/expected_detection.h"
#include "viewer_ids.h"
#include "window_fixture.h"

namespace quelvo::test {
namespace {

RECT ClientRectOf(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

TEST_F(WindowTest, WindowHasTheDesignedFrameTitleAndSize) {
    Start();
    EXPECT_EQ(Text(Hwnd()), L"Quelvo");
    const LONG_PTR style = GetWindowLongPtrW(Hwnd(), GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU) << "a close control";
    EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_THICKFRAME));
    EXPECT_NE(GetMenu(Hwnd()), nullptr);
    EXPECT_NE(SendMessageW(Hwnd(), WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(Hwnd(), WM_GETICON, ICON_SMALL, 0), 0);

    RECT window;
    GetWindowRect(Hwnd(), &window);
    const int centreX = (window.left + window.right) / 2, centreY = (window.top + window.bottom) / 2;
    EXPECT_NEAR(centreX, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR(centreY, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
}

// Where each control stands is checked at every DPI by the DPI tests.
TEST_F(WindowTest, ButtonsShowPicturesAndImage1LiesOutOfSight) {
    Start();
    RECT client;
    GetClientRect(Hwnd(), &client);
    const RECT image = ClientRectOf(Control(IDC_IMAGE1));
    EXPECT_GE(image.left, client.right) << "Image1 lies beyond the client area and is never seen";
    EXPECT_NE(SendMessageW(Control(IDC_IMAGE1), STM_GETICON, 0, 0), 0);
    EXPECT_EQ(Text(Control(IDC_FRAME1)), L"En Cours");
    for (const ViewerRecord &viewer : Viewers()) {
        const int id = IdsOf(viewer).button;
        EXPECT_TRUE(GetWindowLongPtrW(Control(id), GWL_STYLE) & BS_BITMAP) << "picture buttons show no text";
        EXPECT_NE(SendMessageW(Control(id), BM_GETIMAGE, IMAGE_BITMAP, 0), 0) << id;
    }
}

TEST_F(WindowTest, TabMovesThroughTheDesignedOrder) {
    Start();
    const std::vector<int> expected = {IDC_COMMAND1, IDC_COMMAND3, IDC_COMMAND4, IDC_COMMAND5, IDC_COMMAND7,
                                       IDC_TEXT1,    IDC_COMMAND6, IDC_COMMAND8, IDC_COMMAND1};
    HWND focus = Control(IDC_COMMAND1);
    for (std::size_t i = 1; i < expected.size(); ++i) {
        focus = GetNextDlgTabItem(Hwnd(), focus, FALSE);
        EXPECT_EQ(GetDlgCtrlID(focus), expected[i]) << "stop " << i;
    }
    // Text1 is drawn above the frame it lies in.
    HWND sibling = Control(IDC_TEXT1);
    while (sibling && sibling != Control(IDC_FRAME1))
        sibling = GetWindow(sibling, GW_HWNDNEXT);
    EXPECT_EQ(sibling, Control(IDC_FRAME1));
}

TEST_F(WindowTest, EachButtonAndItsMenuItemWriteTheViewersValuesAndShowIt) {
    Start();
    for (const ViewerRecord &viewer : Viewers()) {
        SCOPED_TRACE(std::string(viewer.displayName));
        const std::wstring name(viewer.displayName.begin(), viewer.displayName.end());
        std::vector<FakeRegistry::Write> expected;
        for (const RegistryWrite &write : expected::AssociationsOf(viewer.displayName))
            expected.push_back({write.path, write.value});
        const ViewerIds ids = IdsOf(viewer);
        for (const bool byButton : {true, false}) {
            const std::size_t before = registry.Writes().size();
            SetWindowTextW(Control(IDC_TEXT1), L"");
            byButton ? Click(ids.button) : Command(ids.menuItem);
            EXPECT_EQ(std::vector(registry.Writes().begin() + before, registry.Writes().end()), expected);
            EXPECT_EQ(StatusText(), name);
            EXPECT_EQ(CheckedViewerItems(), std::vector<UINT>{static_cast<UINT>(ids.menuItem)});
        }
        wchar_t caption[64] = {};
        GetMenuStringW(GetMenu(Hwnd()), ids.menuItem, caption, 64, MF_BYCOMMAND);
        EXPECT_EQ(caption, name);
    }
}

TEST_F(WindowTest, TypedStatusTextChangesNothingAndTheNextSwitchReplacesIt) {
    Start();
    EXPECT_FALSE(GetWindowLongPtrW(Control(IDC_TEXT1), GWL_STYLE) & ES_READONLY);
    SetWindowTextW(Control(IDC_TEXT1), L"Flux");
    EXPECT_EQ(CheckedViewerItems(), std::vector<UINT>{IDM_MOCTAGA});
    EXPECT_TRUE(registry.Writes().empty());
    Click(IDC_COMMAND3);
    EXPECT_EQ(StatusText(), L"Blaxxun");
}

TEST_F(WindowTest, StartUpShowsTheRecognisedViewer) {
    std::vector<std::pair<std::optional<std::string>, std::string_view>> cases = {{"Unknown.Plugin", ""},
                                                                                  {std::nullopt, ""}};
    for (const expected::WrlOwner &owner : expected::kWrlOwners)
        cases.emplace_back(std::string(owner.wrlValue), owner.viewer);
    for (const auto &[wrl, viewer] : cases) {
        SCOPED_TRACE(wrl.value_or("(no .wrl key)"));
        registry = FakeRegistry();
        Start(wrl);
        EXPECT_TRUE(Shown());
        EXPECT_EQ(StatusText(), std::wstring(viewer.begin(), viewer.end()));
        EXPECT_EQ(CheckedViewerItems(), viewer.empty() ? std::vector<UINT>{}
                                                       : std::vector<UINT>{static_cast<UINT>(
                                                             IdsOf(expected::ViewerNamed(viewer)).menuItem)});
        EXPECT_TRUE(registry.Writes().empty()) << "start-up only reads";
        window.reset();
        Pump();
    }
}

TEST_F(WindowTest, TheWindowKeepsItsNarrowDesignAgainstTheMinimumTrackingSize) {
    Start();
    MINMAXINFO info = {};
    info.ptMinTrackSize = {200, 200};
    SendMessageW(Hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    RECT window;
    GetWindowRect(Hwnd(), &window);
    EXPECT_LE(info.ptMinTrackSize.x, window.right - window.left);
    EXPECT_LE(info.ptMinTrackSize.y, window.bottom - window.top);
}

} // namespace
} // namespace quelvo::test
