#include "main_controls.h"

#include "artwork.h"
#include "core/viewer_catalogue.h"
#include "platform/dpi_win.h"
#include "platform/text_win.h"
#include "resource.h"
#include "texts.h"

#include <string>
#include <vector>

namespace quelvo {
namespace {

constexpr DWORD kViewerButton = BS_PUSHBUTTON | BS_BITMAP | WS_TABSTOP | WS_CLIPSIBLINGS;

// In tab order, which is also the z-order: Text1 stays above the frame it lies in.
constexpr std::array<ControlDesign, 10> kDesign = {{
    {IDC_COMMAND1, L"BUTTON", kViewerButton, 0, {45, 45, 1365, 510}, 0},
    {IDC_COMMAND3, L"BUTTON", kViewerButton, 0, {45, 575, 1365, 510}, 0},
    {IDC_COMMAND4, L"BUTTON", kViewerButton, 0, {45, 1575, 1365, 510}, 0},
    {IDC_COMMAND5, L"BUTTON", kViewerButton, 0, {45, 2040, 1365, 510}, 0},
    {IDC_COMMAND7, L"BUTTON", kViewerButton, 0, {45, 2530, 1365, 510}, 0},
    {IDC_TEXT1,
     L"EDIT",
     ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP | WS_CLIPSIBLINGS,
     WS_EX_CLIENTEDGE,
     {90, 3720, 1275, 285},
     0},
    {IDC_FRAME1, L"BUTTON", BS_GROUPBOX | WS_CLIPSIBLINGS, 0, {45, 3560, 1365, 510}, IDS_FRAME1},
    {IDC_COMMAND6, L"BUTTON", kViewerButton, 0, {45, 1080, 1365, 510}, 0},
    {IDC_COMMAND8, L"BUTTON", kViewerButton, 0, {45, 3040, 1365, 510}, 0},
    // Beyond the client area's right edge: it only holds the icon that the notification area shows.
    {IDC_IMAGE1, L"STATIC", SS_ICON, 0, {3240, 3360, 240, 240}, 0},
}};

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
    for (std::size_t i = 0; i < Viewers().size(); ++i)
        SetDlgItemTextW(window_, IDC_COMMAND1 + static_cast<int>(i), Widen(Viewers()[i].displayName).c_str());
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
        badges_[i].Reset(LoadBitmapForDpi(instance, IDB_COMMAND1 + static_cast<int>(i), dpi_));
    imageList1Bitmap_.Reset(LoadBitmapForDpi(instance, IDB_POWER, dpi_));
}

void MainControls::ShowPictures() {
    for (std::size_t i = 0; i < badges_.size(); ++i)
        SendDlgItemMessageW(window_, IDC_COMMAND1 + static_cast<int>(i), BM_SETIMAGE, IMAGE_BITMAP,
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
