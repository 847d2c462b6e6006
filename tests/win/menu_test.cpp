#include "window_fixture.h"

namespace quelvo::test {
namespace {

struct Entry {
    UINT id;
    std::wstring caption; // empty for a separator
};

std::vector<Entry> Entries(HMENU menu) {
    std::vector<Entry> entries;
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        wchar_t caption[128] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE;
        info.dwTypeData = caption;
        info.cch = 128;
        GetMenuItemInfoW(menu, position, TRUE, &info);
        entries.push_back({info.wID, (info.fType & MFT_SEPARATOR) ? L"" : caption});
    }
    return entries;
}

std::vector<std::wstring> Captions(HMENU menu) {
    std::vector<std::wstring> captions;
    for (const Entry &entry : Entries(menu))
        captions.push_back(entry.caption);
    return captions;
}

MENUITEMINFOW ItemInfo(HMENU menu, UINT item, BOOL byPosition, UINT mask) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = mask;
    GetMenuItemInfoW(menu, item, byPosition, &info);
    return info;
}

HMENU SubMenuWithId(HMENU menu, UINT id) {
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        const MENUITEMINFOW info = ItemInfo(menu, position, TRUE, MIIM_ID | MIIM_SUBMENU);
        if (info.wID == id) return info.hSubMenu;
    }
    return nullptr;
}

HBITMAP UncheckedBitmapOfQuitter(HMENU dropDown) {
    return ItemInfo(dropDown, IDM_MQUITTER, FALSE, MIIM_CHECKMARKS).hbmpUnchecked;
}

class MenuTest : public WindowTest {};

TEST_F(MenuTest, TreeCaptionsAndOrderAfterStartUp) {
    Start();
    HMENU bar = GetMenu(Hwnd());
    EXPECT_EQ(Captions(bar), std::vector<std::wstring>{L"Paramétres"});
    HMENU dropDown = GetSubMenu(bar, 0);
    EXPECT_EQ(Captions(dropDown),
              (std::vector<std::wstring>{L"Viewer", L"Options", L"Quitter", L"", L"A propos de..."}));
    EXPECT_EQ(Captions(SubMenuWithId(dropDown, IDM_MVIEWER)),
              (std::vector<std::wstring>{L"Blaxxun", L"BS Contact", L"Cortona", L"CosmoPlayer", L"Flux", L"Octaga",
                                         L"Pivoron"}));
    EXPECT_EQ(Captions(SubMenuWithId(dropDown, IDM_MOPTIONS)),
              (std::vector<std::wstring>{L"Toujours à l'écran", L"Reduire dans le systray"}));
    for (const Entry &entry : Entries(dropDown))
        EXPECT_EQ(entry.caption.find(L'&'), std::wstring::npos) << "no access-key marker";
}

TEST_F(MenuTest, InitialStatesAfterStartUp) {
    Start("Unknown");
    EXPECT_FALSE(Visible(IDM_MOUVRIR));
    EXPECT_FALSE(Visible(IDM_MTIR2));
    EXPECT_TRUE(Checked(IDM_MSYSTRAY));
    EXPECT_FALSE(Checked(IDM_MVISIBLE));
    EXPECT_TRUE(CheckedViewerItems().empty());
    for (UINT id : {IDM_MQUITTER, IDM_PROPOS, IDM_MVISIBLE, IDM_MSYSTRAY, IDM_MCORTONA})
        EXPECT_FALSE(GetMenuState(GetMenu(Hwnd()), id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) << id;
}

TEST_F(MenuTest, PowerBitmapStaysOnQuitterInEveryState) {
    Start();
    HMENU dropDown = GetSubMenu(GetMenu(Hwnd()), 0);
    const HBITMAP picture = UncheckedBitmapOfQuitter(dropDown);
    ASSERT_NE(picture, nullptr);
    BITMAP bitmap = {};
    GetObjectW(picture, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 12);
    EXPECT_EQ(bitmap.bmHeight, 12);

    Command(IDM_MSYSTRAY); // "Ouvrir" and its separator come back above
    EXPECT_EQ(Captions(dropDown),
              (std::vector<std::wstring>{L"Ouvrir", L"", L"Viewer", L"Options", L"Quitter", L"", L"A propos de..."}));
    EXPECT_EQ(UncheckedBitmapOfQuitter(dropDown), picture);
    const MENUITEMINFOW fifth = ItemInfo(dropDown, 4, TRUE, MIIM_CHECKMARKS | MIIM_ID);
    EXPECT_EQ(fifth.wID, static_cast<UINT>(IDM_MQUITTER));
    EXPECT_EQ(fifth.hbmpUnchecked, picture);
    EXPECT_EQ(fifth.hbmpChecked, nullptr);

    Command(IDM_MOUVRIR);
    EXPECT_EQ(UncheckedBitmapOfQuitter(dropDown), picture);
}

TEST_F(MenuTest, ShowAndHideAreIdempotentAndKeepTheDesignPlaces) {
    Start();
    SettingsMenu &menu = window->Menu();
    HMENU dropDown = GetSubMenu(GetMenu(Hwnd()), 0);
    menu.SetVisible(IDM_MTIR2, true); // the separator alone first: it still goes to its own place
    menu.SetVisible(IDM_MOUVRIR, true);
    menu.SetVisible(IDM_MOUVRIR, true);
    EXPECT_EQ(Entries(dropDown)[0].id, static_cast<UINT>(IDM_MOUVRIR));
    EXPECT_EQ(Entries(dropDown)[1].id, static_cast<UINT>(IDM_MTIR2));
    EXPECT_EQ(GetMenuItemCount(dropDown), 7);
    menu.SetVisible(IDM_MOUVRIR, false);
    menu.SetVisible(IDM_MOUVRIR, false);
    EXPECT_EQ(GetMenuItemCount(dropDown), 6);
    EXPECT_EQ(Entries(dropDown)[0].id, static_cast<UINT>(IDM_MTIR2));
    menu.SetVisible(IDM_MENU, true);
    EXPECT_EQ(GetMenuItemCount(GetMenu(Hwnd())), 1);
}

TEST_F(MenuTest, AHiddenSubmenuComesBackWithItsItemsIntactAndWorking) {
    Start("Octaga.Octaga.wrl");
    SettingsMenu &menu = window->Menu();
    HMENU dropDown = GetSubMenu(GetMenu(Hwnd()), 0);
    const std::vector<std::wstring> designed = Captions(dropDown);
    const std::vector<std::wstring> viewers = Captions(SubMenuWithId(dropDown, IDM_MVIEWER));
    for (UINT id : {IDM_MVIEWER, IDM_MOPTIONS}) {
        SCOPED_TRACE(id);
        menu.SetVisible(id, false);
        EXPECT_FALSE(Visible(id));
        EXPECT_EQ(SubMenuWithId(dropDown, id), nullptr);
        menu.SetVisible(id, true);
        EXPECT_EQ(Captions(dropDown), designed) << "back at its own place";
    }
    EXPECT_EQ(Captions(SubMenuWithId(dropDown, IDM_MVIEWER)), viewers);
    EXPECT_EQ(CheckedViewerItems(), std::vector<UINT>{IDM_MOCTAGA}) << "its check mark survived";
    EXPECT_TRUE(Checked(IDM_MSYSTRAY));
    Command(IDM_MFLUX);
    EXPECT_EQ(StatusText(), L"Flux") << "its items still send their commands";
    EXPECT_EQ(CheckedViewerItems(), std::vector<UINT>{IDM_MFLUX});
}

TEST_F(MenuTest, AnUnknownIdChangesNothing) {
    Start();
    SettingsMenu &menu = window->Menu();
    HMENU dropDown = GetSubMenu(GetMenu(Hwnd()), 0);
    const std::vector<std::wstring> before = Captions(dropDown);
    const std::vector<UINT> checkedBefore = CheckedViewerItems();
    for (UINT unknown : {0u, 9999u}) {
        menu.SetVisible(unknown, false);
        menu.SetVisible(unknown, true);
        menu.SetChecked(unknown, true);
        EXPECT_FALSE(menu.IsVisible(unknown));
        EXPECT_FALSE(menu.IsChecked(unknown));
    }
    EXPECT_EQ(Captions(dropDown), before);
    EXPECT_EQ(GetMenuItemCount(GetMenu(Hwnd())), 1);
    EXPECT_EQ(CheckedViewerItems(), checkedBefore);
    EXPECT_TRUE(Checked(IDM_MSYSTRAY));
}

TEST_F(MenuTest, ChoosingTheCheckedViewerAgainRunsTheSwitchAgain) {
    Start("Octaga.Octaga.wrl");
    Command(IDM_MOCTAGA);
    Command(IDM_MOCTAGA);
    EXPECT_EQ(registry.Writes().size(), 58u);
    EXPECT_EQ(CheckedViewerItems(), std::vector<UINT>{IDM_MOCTAGA});
    EXPECT_TRUE(Checked(IDM_MSYSTRAY)) << "a switch leaves the mode items alone";
}

} // namespace
} // namespace quelvo::test
