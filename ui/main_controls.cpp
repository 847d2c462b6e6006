#include "main_controls.h"

#include "artwork.h"
#include "core/viewer_catalogue.h"
#include "platform/dpi_win.h"
#include "platform/text_win.h"
#include "resource.h"
#include "texts.h"

#include <algorithm>
#include <string>
#include <vector>

namespace quelvo {
namespace {

constexpr DWORD kViewerButton = BS_PUSHBUTTON | BS_BITMAP | WS_TABSTOP | WS_CLIPSIBLINGS;

// Where each viewer's button stands, in the catalogue's order. The tops are the design's own, not a regular grid,
// and two buttons come after the status box in the tab order.
struct ButtonPlace {
    int top;
    bool afterStatusBox;
};
constexpr std::array<ButtonPlace, kViewerCount> kButtons = {{
    {45, false},   // Cortona
    {575, false},  // Blaxxun
    {1575, false}, // Pivoron
    {2040, false}, // CosmoPlayer
    {1080, true},  // BS Contact
    {2530, false}, // Octaga
    {3040, true},  // Flux
}};
static_assert(std::ranges::none_of(kButtons, [](const ButtonPlace &place) { return place.top == 0; }),
              "a place for every viewer's button");

constexpr ControlDesign kText1 = {IDC_TEXT1,
                                  L"EDIT",
                                  ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP | WS_CLIPSIBLINGS,
                                  WS_EX_CLIENTEDGE,
                                  {90, 3720, 1275, 285},
                                  0};
constexpr ControlDesign kFrame1 = {IDC_FRAME1, L"BUTTON", BS_GROUPBOX | WS_CLIPSIBLINGS, 0, {45, 3560, 1365, 510},
                                   IDS_FRAME1};
// Beyond the client area's right edge: it only holds the icon that the notification area shows.
constexpr ControlDesign kImage1 = {IDC_IMAGE1, L"STATIC", SS_ICON, 0, {3240, 3360, 240, 240}, 0};

constexpr ControlDesign ViewerButton(std::size_t index) {
    return {ViewerButtonId(index), L"BUTTON", kViewerButton, 0, {45, kButtons[index].top, 1365, 510}, 0};
}

// In tab order, which is also the z-order: Text1 stays above the frame it lies in.
constexpr std::array<ControlDesign, kViewerCount + 3> Design() {
    std::array<ControlDesign, kViewerCount + 3> design = {};
    std::size_t next = 0;
    for (bool afterStatusBox : {false, true}) {
        for (std::size_t i = 0; i < kViewerCount; ++i)
            if (kButtons[i].afterStatusBox == afterStatusBox) design[next++] = ViewerButton(i);
        if (!afterStatusBox) {
            design[next++] = kText1;
            design[next++] = kFrame1;
        }
    }
    design[next] = kImage1;
    return design;
}
constexpr std::array<ControlDesign, kViewerCount + 3> kDesign = Design();

} // namespace

void MainControls::Create(HWND window, UINT dpi) {
    window_ = window;
    dpi_ = dpi;
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
    image1Icon_.Reset(LoadProgramIcon(instance, NotificationIconSize()));
    LoadPictures();
    CreateControls(window_, kDesign, dpi_);
    FitFont();
    ShowPictures();
    // What a screen reader says; a picture button draws only its picture.
    for (std::size_t i = 0; i < kViewerCount; ++i)
        SetDlgItemTextW(window_, ViewerButtonId(i), Widen(Viewers()[i].displayName).c_str());
    SendDlgItemMessageW(window_, IDC_IMAGE1, STM_SETICON, reinterpret_cast<WPARAM>(image1Icon_.Get()), 0);
}

void MainControls::OnDpiChanged(UINT dpi) {
    dpi_ = dpi;
    LayOutControls(window_, kDesign, dpi_);
    FitFont();
    LoadPictures();
    ShowPictures();
    if (dropDownHandle_)
        SetMenuItemBitmaps(dropDownHandle_, IDM_MQUITTER, MF_BYCOMMAND, static_cast<HBITMAP>(imageList1Bitmap_.Get()),
                           nullptr);
}

void MainControls::AttachMenuBitmap() {
    dropDownHandle_ = GetSubMenu(GetMenu(window_), 0);
    // Position 2 is "Quitter" while "Ouvrir" and its separator are hidden; the picture then stays with it.
    SetMenuItemBitmaps(dropDownHandle_, 2, MF_BYPOSITION, static_cast<HBITMAP>(imageList1Bitmap_.Get()), nullptr);
}

void MainControls::LoadPictures() {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
    for (std::size_t i = 0; i < badges_.size(); ++i)
        badges_[i].Reset(LoadBitmapForDpi(instance, ViewerBadgeId(i), dpi_));
    imageList1Bitmap_.Reset(LoadBitmapForDpi(instance, IDB_POWER, dpi_));
}

void MainControls::ShowPictures() {
    for (std::size_t i = 0; i < badges_.size(); ++i)
        SendDlgItemMessageW(window_, ViewerButtonId(i), BM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(badges_[i].Get()));
}

// The captions and, in the status box, every viewer's name.
void MainControls::FitFont() {
    std::vector<FittedText> texts;
    for (const ControlDesign &control : kDesign)
        if (control.textId) texts.push_back({control.id, LoadText(control.textId)});
    for (const ViewerRecord &viewer : Viewers())
        texts.push_back({IDC_TEXT1, Widen(viewer.displayName)});
    font_.Reset(CreateFittingFont(window_, dpi_, texts));
    SetControlsFont(window_, kDesign, static_cast<HFONT>(font_.Get()));
}

std::span<const ControlDesign> MainWindowDesign() {
    return kDesign;
}

SIZE MainWindowClientTwips() {
    return kMainWindowClientTwips;
}

} // namespace quelvo
