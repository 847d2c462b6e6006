#include "design.h"

#include "platform/device_context_win.h"
#include "platform/dpi_win.h"
#include "texts.h"

#include <utility>

namespace quelvo {
namespace {

HWND CreateControl(HWND parent, const ControlDesign &control, const RECT &rect) {
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    const std::wstring text = control.textId ? LoadText(control.textId) : std::wstring();
    return CreateWindowExW(control.exStyle, control.className, text.c_str(), WS_CHILD | WS_VISIBLE | control.style,
                           rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
}

// Room for a text: an edit box writes inside its formatting rectangle, a group box's caption keeps an indent on
// either side, a static fills its client area.
SIZE TextRoom(HWND control, UINT dpi) {
    RECT room;
    GetClientRect(control, &room);
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    if (lstrcmpiW(className, L"Edit") == 0) {
        const LONG height = room.bottom;
        SendMessageW(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&room));
        room.bottom = room.top + height;
    } else if (lstrcmpiW(className, L"Button") == 0) {
        InflateRect(&room, -MulDiv(8, static_cast<int>(dpi), kDesignDpi), 0);
    }
    return {room.right - room.left, room.bottom - room.top};
}

bool TextsFit(HWND window, UINT dpi, HFONT font, std::span<const FittedText> texts) {
    const WindowDc dc(window);
    const SelectedObject selected(dc.Get(), font);
    bool fit = true;
    HWND given = nullptr; // the status box's seven names: its font is set once
    for (const FittedText &fitted : texts) {
        HWND control = GetDlgItem(window, fitted.controlId);
        if (control != std::exchange(given, control))
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE); // the edit's margins follow it
        SIZE text = {};
        GetTextExtentPoint32W(dc.Get(), fitted.text.c_str(), static_cast<int>(fitted.text.size()), &text);
        const SIZE room = TextRoom(control, dpi);
        fit = fit && text.cx <= room.cx && text.cy <= room.cy;
    }
    return fit;
}

} // namespace

RECT PixelRect(const TwipRect &place, UINT dpi, int originLeftTwips, int originTopTwips) {
    const int left = TwipsToPixels(originLeftTwips + place.left, dpi);
    const int top = TwipsToPixels(originTopTwips + place.top, dpi);
    return {left, top, left + TwipsToPixels(place.width, dpi), top + TwipsToPixels(place.height, dpi)};
}

void CreateControls(HWND parent, std::span<const ControlDesign> design, UINT dpi, int originLeftTwips,
                    int originTopTwips) {
    for (const ControlDesign &control : design)
        CreateControl(parent, control, PixelRect(control.place, dpi, originLeftTwips, originTopTwips));
}

void LayOutControls(HWND parent, std::span<const ControlDesign> design, UINT dpi, int originLeftTwips,
                    int originTopTwips) {
    for (const ControlDesign &control : design) {
        const RECT rect = PixelRect(control.place, dpi, originLeftTwips, originTopTwips);
        SetWindowPos(GetDlgItem(parent, control.id), nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void SetControlsFont(HWND parent, std::span<const ControlDesign> design, HFONT font) {
    for (const ControlDesign &control : design)
        SendDlgItemMessageW(parent, control.id, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

SIZE WindowSizeForClient(int clientWidthTwips, int clientHeightTwips, DWORD style, DWORD exStyle, bool hasMenu,
                         UINT dpi) {
    RECT rect = {0, 0, TwipsToPixels(clientWidthTwips, dpi), TwipsToPixels(clientHeightTwips, dpi)};
    AdjustWindowRectForDpi(rect, style, hasMenu, exStyle, dpi);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

void MoveToSuggestedRect(HWND hwnd, const RECT &suggested) {
    SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

POINT CentredOnScreen(SIZE windowSize) {
    return {(GetSystemMetrics(SM_CXSCREEN) - windowSize.cx) / 2, (GetSystemMetrics(SM_CYSCREEN) - windowSize.cy) / 2};
}

void RegisterWindowClass(HINSTANCE instance, const wchar_t *name, WNDPROC procedure) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    if (GetClassInfoExW(instance, name, &windowClass)) return;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

HFONT CreateFittingFont(HWND window, UINT dpi, std::span<const FittedText> texts) {
    LOGFONTW face = {};
    face.lfHeight = -MulDiv(8, static_cast<int>(dpi), 72);
    face.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(face.lfFaceName, L"MS Shell Dlg", LF_FACESIZE);
    const LONG smallest = -MulDiv(6, static_cast<int>(dpi), 72);
    for (;;) {
        HFONT font = CreateFontIndirectW(&face);
        if (face.lfHeight >= smallest || TextsFit(window, dpi, font, texts)) return font;
        DeleteObject(font);
        ++face.lfHeight;
    }
}

} // namespace quelvo
