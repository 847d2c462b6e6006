#include "about_window.h"

#include "artwork.h"
#include "design.h"
#include "platform/device_context_win.h"
#include "resource.h"
#include "texts.h"

#include <windowsx.h>

#include <array>
#include <vector>

namespace quelvo {
namespace {

constexpr WindowFrame kFrame = {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, false, {5595, 3840}};
constexpr TwipRect kFramePlace = {2160, 120, 3360, 2445};
constexpr DWORD kLabel = SS_LEFTNOWORDWRAP | SS_NOPREFIX;

// Labels overlap their neighbours in the design, so they draw transparently and do not clip one another. Each
// text fits its own rectangle: the font is chosen so.
constexpr std::array<ControlDesign, 10> kFrameLabels = {{
    {IDC_ABOUT_LABEL3, L"STATIC", kLabel, 0, {240, 315, 2700, 285}, IDS_ABOUT_LABEL3},
    {IDC_ABOUT_LABEL8, L"STATIC", kLabel, 0, {1680, 315, 1305, 195}, IDS_ABOUT_LABEL8},
    {IDC_ABOUT_LABEL4, L"STATIC", kLabel, 0, {1680, 480, 1320, 285}, IDS_ABOUT_LABEL4},
    {IDC_ABOUT_LABEL6, L"STATIC", kLabel, 0, {1680, 675, 1365, 330}, IDS_ABOUT_LABEL6},
    {IDC_ABOUT_LABEL7, L"STATIC", kLabel, 0, {1680, 855, 690, 285}, IDS_ABOUT_LABEL7},
    {IDC_ABOUT_LABEL5, L"STATIC", kLabel, 0, {1680, 1035, 1575, 285}, IDS_ABOUT_LABEL5},
    {IDC_ABOUT_LABEL2, L"STATIC", kLabel, 0, {1680, 1250, 1575, 375}, IDS_ABOUT_LABEL2},
    {IDC_ABOUT_LABEL9, L"STATIC", kLabel, 0, {1680, 1440, 1575, 195}, IDS_ABOUT_LABEL9},
    {IDC_ABOUT_LABEL11, L"STATIC", kLabel, 0, {240, 1800, 1935, 255}, IDS_ABOUT_LABEL11},
    {IDC_ABOUT_LABEL10, L"STATIC", kLabel, 0, {240, 2040, 2775, 255}, IDS_ABOUT_LABEL10},
}};

constexpr std::array<ControlDesign, 3> kWindowControls = {{
    {IDC_ABOUT_IMAGE1, L"STATIC", SS_OWNERDRAW, 0, {120, 90, 1935, 3645}, 0},
    {IDC_ABOUT_LABEL1, L"STATIC", SS_CENTER | SS_NOPREFIX, 0, {2760, 2640, 2205, 915}, IDS_ABOUT_VERSION},
    {IDC_ABOUT_FRAME1, L"BUTTON", BS_GROUPBOX | WS_CLIPSIBLINGS, 0, kFramePlace, IDS_ABOUT_FRAME1},
}};

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
        texts.push_back({label.id, LoadText(label.textId)});
    for (const ControlDesign &control : kWindowControls)
        if (control.id == IDC_ABOUT_FRAME1) texts.push_back({control.id, LoadText(control.textId)});
    return texts;
}

} // namespace

AboutWindow::AboutWindow() : frame_(kFrame) {}

AboutWindow::~AboutWindow() {
    Destroy();
}

void AboutWindow::Show(HINSTANCE instance) {
    if (!hwnd_ &&
        !frame_.Create(instance, kAboutWindowClass, WindowProc, LoadText(IDS_ABOUT_TITLE).c_str(), nullptr, this))
        return;
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
        return self->frame_.OnGetDpiScaledSize(wParam, lParam);
    case WM_NCDESTROY:
        self->OnNcDestroy();
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

BOOL AboutWindow::OnCreate(HWND hwnd, LPCREATESTRUCTW) {
    hwnd_ = hwnd;
    frame_.Attach(hwnd);
    CreateControls(hwnd, kFrameLabels, frame_.Dpi(), kFramePlace.left, kFramePlace.top);
    CreateControls(hwnd, kWindowControls, frame_.Dpi());
    LoadForDpi();
    return TRUE;
}

// Fonts, logo and icons for the window's DPI, handed to the controls as they stand.
void AboutWindow::LoadForDpi() {
    const UINT dpi = frame_.Dpi();
    font_.Reset(CreateFittingFont(hwnd_, dpi, FittedTexts()));
    const HFONT font = static_cast<HFONT>(font_.Get());
    SetControlsFont(hwnd_, kFrameLabels, font);
    SetControlsFont(hwnd_, kWindowControls, font);
    titleFont_.Reset(CreateTitleFont(dpi));
    SendDlgItemMessageW(hwnd_, IDC_ABOUT_LABEL1, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.Get()), TRUE);
    logo_.Reset(LoadBitmapForDpi(frame_.Instance(), IDB_LOGO, dpi));
    frame_.ShowIcons();
}

void AboutWindow::OnDpiChanged(UINT dpi, const RECT &suggested) {
    frame_.OnDpiChanged(dpi, suggested);
    LayOutControls(hwnd_, kFrameLabels, dpi, kFramePlace.left, kFramePlace.top);
    LayOutControls(hwnd_, kWindowControls, dpi);
    LoadForDpi();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void AboutWindow::OnDrawItem(const DRAWITEMSTRUCT *item) {
    if (item->CtlID != IDC_ABOUT_IMAGE1 || !logo_) return;
    BITMAP bitmap = {};
    GetObjectW(logo_.Get(), sizeof bitmap, &bitmap);
    const MemoryDc source(item->hDC);
    const SelectedObject selected(source.Get(), logo_.Get());
    const RECT &area = item->rcItem;
    SetStretchBltMode(item->hDC, HALFTONE);
    StretchBlt(item->hDC, area.left, area.top, area.right - area.left, area.bottom - area.top, source.Get(), 0, 0,
               bitmap.bmWidth, bitmap.bmHeight, SRCCOPY);
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
    frame_.Detach();
    if (onClosed_) onClosed_();
}

AboutDesign AboutWindowDesign() {
    return {kFrameLabels, kFramePlace, kWindowControls, kFrame.clientTwips};
}

} // namespace quelvo
