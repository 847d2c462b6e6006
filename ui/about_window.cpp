#include "about_window.h"

#include "design.h"
#include "resource.h"
#include "version.h"

#include <windowsx.h>

#include <algorithm>
#include <array>

namespace quelvo {
namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr int kClientWidthTwips = 5595;
constexpr int kClientHeightTwips = 3840;
constexpr TwipRect kFramePlace = {2160, 120, 3360, 2445};
constexpr DWORD kLabel = SS_LEFTNOWORDWRAP | SS_NOPREFIX;

// Labels overlap their neighbours in the design, so they draw transparently and do not clip one another.
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

// The design's widths suit a narrow font; where the system's font is wider a label grows to the right, up to the
// frame's edge, rather than wrap onto its neighbour below.
void FitLabelsToText(HWND window, HFONT font) {
    const RECT frame = PixelRect(kFramePlace);
    HDC dc = GetDC(window);
    HGDIOBJ previous = SelectObject(dc, font);
    for (const ControlDesign &label : kFrameLabels) {
        HWND control = GetDlgItem(window, label.id);
        SIZE text = {};
        GetTextExtentPoint32W(dc, label.text, lstrlenW(label.text), &text);
        RECT place;
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&place), 2);
        const int width = std::min<int>(text.cx + 1, frame.right - 2 - place.left);
        if (width > place.right - place.left)
            SetWindowPos(control, nullptr, 0, 0, width, place.bottom - place.top, SWP_NOMOVE | SWP_NOZORDER);
    }
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
}

// "MS Sans Serif" 18 point bold; the font mapper picks the nearest face where it is missing.
HFONT CreateTitleFont() {
    LOGFONTW font = {};
    font.lfHeight = -MulDiv(18, 96, 72);
    font.lfWeight = FW_BOLD;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, L"MS Sans Serif", LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

} // namespace

AboutWindow::~AboutWindow() {
    Destroy();
}

void AboutWindow::Show(HINSTANCE instance, HICON bigIcon, HICON smallIcon) {
    if (!hwnd_) {
        RegisterWindowClass(instance, kAboutWindowClass, WindowProc);
        const SIZE size = WindowSizeForClient(kClientWidthTwips, kClientHeightTwips, kStyle, 0, false);
        const POINT corner = CentredOnScreen(size);
        CreateWindowExW(0, kAboutWindowClass, L"A Propos de...", kStyle, corner.x, corner.y, size.cx, size.cy, nullptr,
                        nullptr, instance, this);
        if (!hwnd_) return;
        SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
        SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
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
    case WM_NCDESTROY:
        self->OnNcDestroy();
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

BOOL AboutWindow::OnCreate(HWND hwnd, LPCREATESTRUCTW create) {
    hwnd_ = hwnd;
    font_.Reset(CreateDefaultGuiFont());
    titleFont_.Reset(CreateTitleFont());
    logo_.Reset(LoadImageW(create->hInstance, MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    const HFONT font = static_cast<HFONT>(font_.Get());
    CreateControls(hwnd, kFrameLabels, font, kFramePlace.left, kFramePlace.top);
    FitLabelsToText(hwnd, font);
    CreateControls(hwnd, kWindowControls, font);
    SendDlgItemMessageW(hwnd, IDC_ABOUT_LABEL1, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.Get()), FALSE);
    return TRUE;
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
    if (onClosed_) onClosed_();
}

} // namespace quelvo
