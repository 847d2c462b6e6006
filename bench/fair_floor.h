#pragma once
// The fair floor: the least a window program can do for Quelvo's job. One button and one edit box, and a click that
// writes the same 29 values (another viewer's each time, from the same tables) and then sets and paints the edit
// box's text. Shared by fair_floor_window.exe and the start-up phases, which build it in process.

#include "direct_writes.h"

#include "core/viewer_catalogue.h"

#include <windows.h>

namespace quelvo::bench {

constexpr wchar_t kFairFloorClass[] = L"FairFloorWindow";
constexpr int kFairFloorButton = 1, kFairFloorEdit = 2;

// Starts three viewers on from Quelvo's first, so that side by side the two never write what the other just wrote
// (Wine's registry skips a write that changes nothing).
inline std::size_t &FairFloorNextViewer() {
    static std::size_t next = 3;
    return next;
}

inline void FairFloorClick(HWND window) {
    const ViewerRecord &viewer = Viewers()[FairFloorNextViewer()++ % Viewers().size()];
    WriteDirectly(BuildAssociationList(viewer));
    const HWND edit = GetDlgItem(window, kFairFloorEdit);
    SetWindowTextW(edit, Widen(viewer.displayName).c_str());
    UpdateWindow(edit);
}

inline LRESULT CALLBACK FairFloorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        const auto instance = reinterpret_cast<CREATESTRUCTW *>(lParam)->hInstance;
        CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 10, 10, 80, 24, hwnd,
                        reinterpret_cast<HMENU>(kFairFloorButton), instance, nullptr);
        CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 10, 44,
                        170, 24, hwnd, reinterpret_cast<HMENU>(kFairFloorEdit), instance, nullptr);
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == kFairFloorButton && HIWORD(wParam) == BN_CLICKED) FairFloorClick(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Created hidden, as Quelvo's window is; the caller shows it.
inline HWND CreateFairFloor(HINSTANCE instance) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = FairFloorProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kFairFloorClass;
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, kFairFloorClass, L"Fair floor", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                           CW_USEDEFAULT, 200, 120, nullptr, nullptr, instance, nullptr);
}

} // namespace quelvo::bench
