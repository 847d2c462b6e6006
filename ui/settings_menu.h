#pragma once
// The "Paramétres" menu tree. Win32 menus have no hidden state, so hiding an item removes it and showing it
// inserts it again at its place in the design, counted among the items that are present.

#include <windows.h>

#include <string>
#include <vector>

namespace quelvo {

class SettingsMenu {
public:
    SettingsMenu() = default;
    // Takes the design order of the menu bar and of its drop-downs from the menu as loaded.
    explicit SettingsMenu(HMENU menuBar);

    HMENU DropDown() const { return GetSubMenu(menuBar_, 0); }

    void SetChecked(UINT id, bool checked);
    bool IsChecked(UINT id) const;
    // Idempotent: showing a present item or hiding an absent one changes nothing.
    void SetVisible(UINT id, bool visible);
    bool IsVisible(UINT id) const;

private:
    struct DesignItem {
        HMENU parent;
        UINT id;
        UINT type;
        std::wstring caption;
        HMENU subMenu;
    };
    void RecordDesign(HMENU parent);
    const DesignItem *Find(UINT id) const;
    UINT InsertPosition(const DesignItem &item) const;

    HMENU menuBar_ = nullptr;
    std::vector<DesignItem> design_;
};

} // namespace quelvo
