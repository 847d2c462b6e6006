// The floor for any GUI program on a machine: register a class, create a window, show it, run a message loop.
// Built a second time as the fair floor (FAIR_FLOOR, see fair_floor.h): with Quelvo's manifest and Common Controls 6,
// a button and an edit box, and a click that does Quelvo's writes.
#include <windows.h>
#ifdef FAIR_FLOOR
#include "fair_floor.h"

#include <commctrl.h>
#endif

#ifndef FAIR_FLOOR
namespace {

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreateMinimal(HINSTANCE instance) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"MinimalWindow";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, L"MinimalWindow", L"Minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 200,
                           200, nullptr, nullptr, instance, nullptr);
}

} // namespace
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
#ifdef FAIR_FLOOR
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const HWND hwnd = quelvo::bench::CreateFairFloor(instance);
#else
    const HWND hwnd = CreateMinimal(instance);
#endif
    ShowWindow(hwnd, SW_SHOW);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}
