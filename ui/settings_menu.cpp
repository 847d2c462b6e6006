#include "settings_menu.h"

#include <iterator>

namespace quelvo {
namespace {

// Position of id among the items of parent itself, not of its submenus; -1 when absent.
int PositionOf(HMENU parent, UINT id) {
    const int count = GetMenuItemCount(parent);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID;
        if (GetMenuItemInfoW(parent, position, TRUE, &info) && info.wID == id) return position;
    }
    return -1;
}

bool HasItem(HMENU parent, UINT id) {
    return PositionOf(parent, id) >= 0;
}

} // namespace

SettingsMenu::SettingsMenu(HMENU menuBar) : menuBar_(menuBar) {
    RecordDesign(menuBar);
}

void SettingsMenu::RecordDesign(HMENU parent) {
    const int count = GetMenuItemCount(parent);
    for (int position = 0; position < count; ++position) {
        wchar_t caption[256] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = caption;
        info.cch = static_cast<UINT>(std::size(caption));
        GetMenuItemInfoW(parent, position, TRUE, &info);
        design_.push_back({parent, info.wID, info.fType, caption, info.hSubMenu});
        if (info.hSubMenu) RecordDesign(info.hSubMenu);
    }
}

const SettingsMenu::DesignItem *SettingsMenu::Find(UINT id) const {
    for (const DesignItem &item : design_)
        if (item.id == id) return &item;
    return nullptr;
}

UINT SettingsMenu::InsertPosition(const DesignItem &item) const {
    UINT position = 0;
    for (const DesignItem &earlier : design_) {
        if (&earlier == &item) break;
        if (earlier.parent == item.parent && HasItem(item.parent, earlier.id)) ++position;
    }
    return position;
}

void SettingsMenu::SetChecked(UINT id, bool checked) {
    CheckMenuItem(menuBar_, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool SettingsMenu::IsChecked(UINT id) const {
    const UINT state = GetMenuState(menuBar_, id, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED);
}

bool SettingsMenu::IsVisible(UINT id) const {
    const DesignItem *item = Find(id);
    return item && HasItem(item->parent, id);
}

void SettingsMenu::SetVisible(UINT id, bool visible) {
    const DesignItem *item = Find(id);
    if (!item || visible == HasItem(item->parent, id)) return;
    if (!visible) {
        // RemoveMenu, not DeleteMenu: a hidden submenu must survive to be shown again.
        RemoveMenu(item->parent, PositionOf(item->parent, id), MF_BYPOSITION);
        return;
    }
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING;
    info.fType = item->type;
    info.wID = item->id;
    info.hSubMenu = item->subMenu;
    info.dwTypeData = const_cast<wchar_t *>(item->caption.c_str());
    InsertMenuItemW(item->parent, InsertPosition(*item), TRUE, &info);
}

} // namespace quelvo
