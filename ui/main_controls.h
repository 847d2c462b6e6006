#pragma once
// The main window's controls and pictures at the window's DPI: a button and its badge per viewer, the
// status box Text1 in Frame1, Image1 holding the notification icon, the font that fits them all, and the picture
// of "Quitter".

#include "core/viewer_catalogue.h"
#include "design.h"
#include "platform/unique_handle_win.h"

#include <windows.h>

#include <array>
#include <span>

namespace quelvo {

inline constexpr SIZE kMainWindowClientTwips = {1440, 4110};

class MainControls {
public:
    // Creates the controls in tab order with their pictures and font, at dpi.
    void Create(HWND window, UINT dpi);
    void OnDpiChanged(UINT dpi);
    // Once the window's menu is in place.
    void AttachMenuBitmap();

private:
    void LoadPictures();
    void ShowPictures();
    void FitFont();

    HWND window_ = nullptr;
    UINT dpi_ = 96;
    HMENU dropDownHandle_ = nullptr;
    UniqueGdiObject font_;
    std::array<UniqueGdiObject, kViewerCount> badges_; // in the catalogue's order
    UniqueGdiObject imageList1Bitmap_; // the menu-item bitmap
    UniqueIcon image1Icon_;
};

// The design in twips, for checks at every DPI: the controls and the client area.
std::span<const ControlDesign> MainWindowDesign();
SIZE MainWindowClientTwips();

} // namespace quelvo
