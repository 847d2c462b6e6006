#include "about_window.h"

#include "artwork.h"
#include "design.h"
#include "platform/dpi_win.h"
#include "resource.h"
#include "version.h"

#include <windowsx.h>

#include <array>
#include <vector>

namespace quelvo {
namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr int kClientWidthTwips = 5595;
constexpr int kClientHeightTwips = 3840;
constexpr TwipRect kFramePlace = {2160, 120, 3360, 2445};
constexpr DWORD kLabel = SS_LEFTNOWORDWRAP | SS_NOPREFIX;

// Labels overlap their neighbours in the design, so they draw transparently and do not clip one another. Each
// text fits its own rectangle: the font is chosen so.
constexpr std::array<ControlDesign, 10> kFrameLabels = {{
    {IDC_ABOUT_LABEL3, L"STATIC", kLabel, 0, {240, 315, 2700, 285}, L"Et les viewers : "},
    {IDC_ABOUT_LABEL8, L"STATIC", kLabel, 0, {1680, 315, 1305, 195}, L"- Cortona 5.0"},
    {IDC_ABOUT_LABEL4, L"STATIC", kLabel, 0, {1680, 480, 1320, 285}, L"- Blaxxun 5.1"},
    {IDC_ABOUT_LABEL6, L"STATIC", kLabel, 0, {1680, 675, 1365, 330}, L"- CosmoPlayer 2.0"},
    {IDC_ABOUT_LABEL7, L"STATIC", kLabel, 0, {1680, 855, 690, 285}, L"- Pivoron"},
    {IDC_ABOUT_LABEL5, L"STATIC", kLabel, 0, {1680, 1035, 1575, 285}, L"- Octaga 2.1"},
    {IDC_ABOUT_LABEL2, L"STATIC", kLabel, 0, {1680, 1250, 1575, 375}, L"- BS Contact 7.0"},
    {IDC_ABOUT_LABEL9, L"STATIC", kLabel, 0, {1680, 1440, 1575, 195}, L"- Flux 2.0"},
    {IDC_ABOUT_LABEL11, L"STATIC", kLabel, 0, {240, 1800, 1935, 255}, L"BUG Connus :"},
    {IDC_ABOUT_LABEL10, L"STATIC", kLabel, 0, {240, 2040, 2775, 255}, L"- Conflit entre Blaxxun et BS Contact"},
}};

constexpr std::array<ControlDesign, 3> kWindowControls = {{
    {IDC_ABOUT_IMAGE1, L"STATIC", SS_OWNERDRAW, 0, {120, 90, 1935, 3645}, L""},
    {IDC_ABOUT_LABEL1, L"STATIC", SS_CENTER | SS_NOPREFIX, 0, {2760, 2640, 2205, 915}, L"Quelvo " QUELVO_VERSION_TEXT},
    {IDC_ABOUT_FRAME1, L"BUTTON", BS_GROUPBOX | WS_CLIPSIBLINGS, 0, kFramePlace, L"Compatible XP"},
}};

SIZE DesignWindowSize(UINT dpi) {
    return WindowSizeForClient(kClientWidthTwips, kClientHeightTwips, kStyle, 0, false, dpi);
}

// 18 point bold in the outline twin of "MS Sans Serif", which stays sharp at every size; the font mapper picks
// the nearest face where it is missing.
HFONT CreateTitleFont(UINT dpi) {
    LOGFONTW font = {};
    font.lfHeight = -MulDiv(18, static_cast<int>(dpi), 72);
    font.lfWeight = FW_BOLD;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, L"Microsoft Sans Serif", LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

// Every label of the frame, and the frame's own caption.
std::vector<FittedText> FittedTexts() {
    std::vector<FittedText> texts;
    for (const ControlDesign &label : kFrameLabels)
        texts.push_back({label.id, label.text});
    for (const ControlDesign &control : kWindowControls)
        if (control.id == IDC_ABOUT_FRAME1) texts.push_back({control.id, control.text});
    return texts;
}

} // namespace

AboutWindow::~AboutWindow() {
    Destroy();
}

void AboutWindow::Show(HINSTANCE instance) {
    if (!hwnd_) {
        RegisterWindowClass(instance, kAboutWindowClass, WindowProc);
        const SIZE size = DesignWindowSize(SystemDpi());
        const POINT corner = CentredOnScreen(size);
        CreateWindowExW(0, kAboutWindowClass, L"A Propos de...", kStyle, corner.x, corner.y, size.cx, size.cy, nullptr,
                        nullptr, instance, this);
        if (!hwnd_) return;
    }
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
}

void AboutWindow::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT CALLBACK AboutWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto *self = AttachedState<AboutWindow>(hwnd, message, lParam);
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCCREATE) self->hwnd_ = hwnd;
    switch (message) {
    case WM_CREATE:
        return self->OnCreate(hwnd, reinterpret_cast<LPCREATESTRUCTW>(lParam)) ? 0 : -1;
    case WM_DRAWITEM:
        self->OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(self->OnCtlColorStatic(reinterpret_cast<HDC>(wParam)));
    case WM_DPICHANGED:
        self->OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT *>(lParam));
        return 0;
    case WM_GETDPISCALEDSIZE:
        *reinterpret_cast<SIZE *>(lParam) = DesignWindowSize(static_cast<UINT>(wParam));
        return TRUE;
    case WM_NCDESTROY:
        self->OnNcDestroy();
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

BOOL AboutWindow::OnCreate(HWND hwnd, LPCREATESTRUCTW) {
    hwnd_ = hwnd;
    dpi_ = WindowDpi(hwnd);
    if (dpi_ != SystemDpi()) { // created on a screen whose DPI is not the system's
        const SIZE size = DesignWindowSize(dpi_);
        SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    CreateControls(hwnd, kFrameLabels, dpi_, kFramePlace.left, kFramePlace.top);
    CreateControls(hwnd, kWindowControls, dpi_);
    LoadForDpi();
    return TRUE;
}

// Fonts, logo and icons for the window's DPI, handed to the controls as they stand.
void AboutWindow::LoadForDpi() {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
    font_.Reset(CreateFittingFont(hwnd_, dpi_, FittedTexts()));
    const HFONT font = static_cast<HFONT>(font_.Get());
    SetControlsFont(hwnd_, kFrameLabels, font);
    SetControlsFont(hwnd_, kWindowControls, font);
    titleFont_.Reset(CreateTitleFont(dpi_));
    SendDlgItemMessageW(hwnd_, IDC_ABOUT_LABEL1, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.Get()), TRUE);
    logo_.Reset(LoadBitmapForDpi(instance, IDB_LOGO, dpi_));
    bigIcon_.Reset(LoadProgramIcon(instance, LargeIconSize(dpi_)));
    smallIcon_.Reset(LoadProgramIcon(instance, SmallIconSize(dpi_)));
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
}

void AboutWindow::OnDpiChanged(UINT dpi, const RECT &suggested) {
    dpi_ = dpi;
    MoveToSuggestedRect(hwnd_, suggested);
    LayOutControls(hwnd_, kFrameLabels, dpi_, kFramePlace.left, kFramePlace.top);
    LayOutControls(hwnd_, kWindowControls, dpi_);
    LoadForDpi();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void AboutWindow::OnDrawItem(const DRAWITEMSTRUCT *item) {
    if (item->CtlID != IDC_ABOUT_IMAGE1 || !logo_) return;
    BITMAP bitmap = {};
    GetObjectW(logo_.Get(), sizeof bitmap, &bitmap);
    HDC source = CreateCompatibleDC(item->hDC);
    HGDIOBJ previous = SelectObject(source, logo_.Get());
    const RECT &area = item->rcItem;
    SetStretchBltMode(item->hDC, HALFTONE);
    StretchBlt(item->hDC, area.left, area.top, area.right - area.left, area.bottom - area.top, source, 0, 0,
               bitmap.bmWidth, bitmap.bmHeight, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
}

HBRUSH AboutWindow::OnCtlColorStatic(HDC dc) {
    // No background of their own: an overlapping neighbour's text must not be painted over.
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void AboutWindow::OnNcDestroy() {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    font_.Reset();
    titleFont_.Reset();
    logo_.Reset();
    bigIcon_.Reset();
    smallIcon_.Reset();
    if (onClosed_) onClosed_();
}

AboutDesign AboutWindowDesign() {
    return {kFrameLabels, kFramePlace, kWindowControls, {kClientWidthTwips, kClientHeightTwips}};
}

} // namespace quelvo
