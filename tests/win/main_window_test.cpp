#include "core/association.h"
#include "window_fixture.h"

#include <map>

namespace quelvo::test {
namespace {

struct PixelPlace {
    int id;
    RECT rect;
};

// Twips of the design divided by 15 and rounded, position and size apart.
const std::vector<PixelPlace> kExpectedPlaces = {
    {IDC_COMMAND1, {3, 3, 94, 37}},     {IDC_COMMAND3, {3, 38, 94, 72}},   {IDC_COMMAND6, {3, 72, 94, 106}},
    {IDC_COMMAND4, {3, 105, 94, 139}},  {IDC_COMMAND5, {3, 136, 94, 170}}, {IDC_COMMAND7, {3, 169, 94, 203}},
    {IDC_COMMAND8, {3, 203, 94, 237}},  {IDC_FRAME1, {3, 237, 94, 271}},   {IDC_TEXT1, {6, 248, 91, 267}},
    {IDC_IMAGE1, {216, 224, 232, 240}},
};

RECT ClientRectOf(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

TEST_F(WindowTest, WindowHasTheDesignedFrameTitleAndSize) {
    Start();
    EXPECT_EQ(Text(Hwnd()), L"Quelvo");
    RECT client;
    GetClientRect(Hwnd(), &client);
    EXPECT_EQ(client.right, 96);
    EXPECT_EQ(client.bottom, 274);
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

TEST_F(WindowTest, ControlsStandAtTheirDesignedPixelRectangles) {
    Start();
    for (const PixelPlace &place : kExpectedPlaces) {
        SCOPED_TRACE(place.id);
        const RECT actual = ClientRectOf(Control(place.id));
        EXPECT_EQ(actual.left, place.rect.left);
        EXPECT_EQ(actual.top, place.rect.top);
        EXPECT_EQ(actual.right, place.rect.right);
        EXPECT_EQ(actual.bottom, place.rect.bottom);
    }
    RECT client;
    GetClientRect(Hwnd(), &client);
    const RECT image = ClientRectOf(Control(IDC_IMAGE1));
    EXPECT_GE(image.left, client.right) << "Image1 lies beyond the client area and is never seen";
    EXPECT_NE(SendMessageW(Control(IDC_IMAGE1), STM_GETICON, 0, 0), 0);
    EXPECT_EQ(Text(Control(IDC_FRAME1)), L"En Cours");
    for (int id = IDC_COMMAND1; id <= IDC_COMMAND8; ++id) {
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

TEST_F(WindowTest, EachButtonAndItsMenuItemWriteTheSameValuesAndShowTheViewer) {
    Start();
    for (std::size_t i = 0; i < Viewers().size(); ++i) {
        const ViewerRecord &viewer = Viewers()[i];
        SCOPED_TRACE(std::string(viewer.displayName));
        const std::size_t before = registry.Writes().size();
        Click(IDC_COMMAND1 + static_cast<int>(i));
        const std::vector<FakeRegistry::Write> byButton(registry.Writes().begin() + before, registry.Writes().end());
        Command(IDM_MCORTONA + static_cast<int>(i));
        const std::vector<FakeRegistry::Write> byMenu(registry.Writes().begin() + before + byButton.size(),
                                                      registry.Writes().end());
        std::vector<FakeRegistry::Write> expected;
        for (const RegistryWrite &write : BuildAssociationList(viewer))
            expected.push_back({write.path, write.value});
        EXPECT_EQ(byButton, expected);
        EXPECT_EQ(byMenu, expected);
        EXPECT_EQ(StatusText(), std::wstring(viewer.displayName.begin(), viewer.displayName.end()));
        EXPECT_EQ(CheckedViewerItems(), std::vector<UINT>{IDM_MCORTONA + static_cast<UINT>(i)});
    }
}

TEST_F(WindowTest, ButtonsAndMenuItemsAreBoundToTheirCatalogueNames) {
    // Stated once here: the names the catalogue gives and the IDs of the window's resources.
    const std::map<std::string_view, std::pair<int, int>> idsByName = {
        {"Command1", {IDC_COMMAND1, IDM_MCORTONA}}, {"Command3", {IDC_COMMAND3, IDM_MBLAXXUN}},
        {"Command4", {IDC_COMMAND4, IDM_MPIVORON}}, {"Command5", {IDC_COMMAND5, IDM_MCOSMO}},
        {"Command6", {IDC_COMMAND6, IDM_MBS}},      {"Command7", {IDC_COMMAND7, IDM_MOCTAGA}},
        {"Command8", {IDC_COMMAND8, IDM_MFLUX}}};
    Start();
    for (const ViewerRecord &viewer : Viewers()) {
        const auto [buttonId, menuId] = idsByName.at(viewer.button);
        Click(buttonId);
        EXPECT_EQ(StatusText(), std::wstring(viewer.displayName.begin(), viewer.displayName.end()));
        wchar_t caption[64] = {};
        GetMenuStringW(GetMenu(Hwnd()), menuId, caption, 64, MF_BYCOMMAND);
        EXPECT_EQ(caption, std::wstring(viewer.displayName.begin(), viewer.displayName.end()));
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
    struct Case {
        std::optional<std::string> wrl;
        std::wstring status;
        std::vector<UINT> checked;
    };
    const std::vector<Case> cases = {
        {"Cortona.Control.1", L"Cortona", {IDM_MCORTONA}},
        {"Cortona.Client", L"Cortona", {IDM_MCORTONA}},
        {"SGI.CosmoPlayer.2", L"CosmoPlayer", {IDM_MCOSMO}},
        {"VRML.World", L"Blaxxun", {IDM_MBLAXXUN}},
        {"Octaga.Octaga.wrl", L"Octaga", {IDM_MOCTAGA}},
        {"Nexternet.NexternetPlayer.1", L"Pivoron", {IDM_MPIVORON}},
        {"Anima.AnimaCtrl.1", L"Flux", {IDM_MFLUX}},
        {"X3D.World", L"BS Contact", {IDM_MBS}},
        {"Unknown.Plugin", L"", {}},
        {"", L"", {}},
        {std::nullopt, L"", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.wrl.value_or("(no .wrl key)"));
        registry = FakeRegistry();
        Start(c.wrl);
        EXPECT_TRUE(Shown());
        EXPECT_EQ(StatusText(), c.status);
        EXPECT_EQ(CheckedViewerItems(), c.checked);
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
