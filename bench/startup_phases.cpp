// Where start-up time goes, phase by phase: Quelvo's real window (linked in, with its resources and manifest) and
// the fair floor's (fair_floor.h), built in this one process in turn. The program is not changed for it: this
// program's own import table sends the system calls the window makes through timers, and each call's time goes to
// the phase its kind belongs to (a picture loaded, a control created, a menu changed...). What no such call covers
// stays with "window creation", the phase everything starts in.
//   quelvo_startup_phases.exe
#include "fair_floor.h"
#include "import_timer.h"

#include "ui/main_window.h"
#include "ui/system_services.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace quelvo;
using bench::Median;

namespace {

enum Phase { kWindow, kControls, kPictures, kMenu, kTooltips, kIcon, kNotificationIcon, kRegistry, kFirstPaint, kPhases };
constexpr const char *kPhaseNames[kPhases] = {
    "window creation", "controls", "pictures",       "menu",       "tooltips (after show)",
    "icon",            "notification area icon",     "registry reads", "first paint"};

bench::PhaseClock<Phase, kPhases> clock_;

using bench::PatchImport;

bool IsTooltip(HWND hwnd) {
    wchar_t name[32] = {};
    GetClassNameW(hwnd, name, 32);
    return lstrcmpiW(name, TOOLTIPS_CLASSW) == 0;
}

Phase OfMessage(HWND to, UINT message) {
    switch (message) {
    case BM_SETIMAGE:
        return kPictures;
    case WM_SETICON:
    case STM_SETICON:
        return kIcon;
    case WM_SETFONT:
    case WM_SETTEXT:
    case EM_GETRECT:
        return kControls;
    }
    return IsTooltip(to) ? kTooltips : kWindow;
}

// One wrapper per system call the window's start makes, each with the original it stands in front of.
#define ORIGINAL(function) decltype(&function) original##function = nullptr

ORIGINAL(CreateWindowExW);
HWND WINAPI TimedCreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y, int width,
                                 int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter) {
    const bool tooltip = !IS_INTRESOURCE(className) && lstrcmpiW(className, TOOLTIPS_CLASSW) == 0;
    return clock_.Timed(tooltip ? kTooltips : (style & WS_CHILD) ? kControls : kWindow, [&] {
        return originalCreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menu, instance,
                                       parameter);
    });
}

ORIGINAL(SendMessageW);
LRESULT WINAPI TimedSendMessageW(HWND to, UINT message, WPARAM wParam, LPARAM lParam) {
    return clock_.Timed(OfMessage(to, message), [&] { return originalSendMessageW(to, message, wParam, lParam); });
}

ORIGINAL(SendDlgItemMessageW);
LRESULT WINAPI TimedSendDlgItemMessageW(HWND parent, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    return clock_.Timed(OfMessage(GetDlgItem(parent, id), message),
                 [&] { return originalSendDlgItemMessageW(parent, id, message, wParam, lParam); });
}

ORIGINAL(LoadImageW);
HANDLE WINAPI TimedLoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int width, int height, UINT flags) {
    return clock_.Timed(type == IMAGE_BITMAP ? kPictures : type == IMAGE_ICON ? kIcon : kWindow,
                 [&] { return originalLoadImageW(instance, name, type, width, height, flags); });
}

ORIGINAL(LoadMenuW);
HMENU WINAPI TimedLoadMenuW(HINSTANCE instance, LPCWSTR name) {
    return clock_.Timed(kMenu, [&] { return originalLoadMenuW(instance, name); });
}

ORIGINAL(RemoveMenu);
BOOL WINAPI TimedRemoveMenu(HMENU menu, UINT position, UINT flags) {
    return clock_.Timed(kMenu, [&] { return originalRemoveMenu(menu, position, flags); });
}

ORIGINAL(SetMenuItemBitmaps);
BOOL WINAPI TimedSetMenuItemBitmaps(HMENU menu, UINT position, UINT flags, HBITMAP unchecked, HBITMAP checked) {
    return clock_.Timed(kMenu, [&] { return originalSetMenuItemBitmaps(menu, position, flags, unchecked, checked); });
}

ORIGINAL(SetDlgItemTextW);
BOOL WINAPI TimedSetDlgItemTextW(HWND parent, int id, LPCWSTR text) {
    return clock_.Timed(kControls, [&] { return originalSetDlgItemTextW(parent, id, text); });
}

ORIGINAL(CreateFontIndirectW);
HFONT WINAPI TimedCreateFontIndirectW(const LOGFONTW *font) {
    return clock_.Timed(kControls, [&] { return originalCreateFontIndirectW(font); });
}

ORIGINAL(GetTextExtentPoint32W);
BOOL WINAPI TimedGetTextExtentPoint32W(HDC dc, LPCWSTR text, int length, LPSIZE size) {
    return clock_.Timed(kControls, [&] { return originalGetTextExtentPoint32W(dc, text, length, size); });
}

ORIGINAL(StretchBlt);
BOOL WINAPI TimedStretchBlt(HDC to, int x, int y, int width, int height, HDC from, int fromX, int fromY, int fromWidth,
                            int fromHeight, DWORD operation) {
    return clock_.Timed(kPictures, [&] {
        return originalStretchBlt(to, x, y, width, height, from, fromX, fromY, fromWidth, fromHeight, operation);
    });
}

ORIGINAL(Shell_NotifyIconA);
BOOL WINAPI TimedShell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data) {
    return clock_.Timed(kNotificationIcon, [&] { return originalShell_NotifyIconA(message, data); });
}

ORIGINAL(RegOpenKeyExW);
LSTATUS WINAPI TimedRegOpenKeyExW(HKEY root, LPCWSTR name, DWORD options, REGSAM access, PHKEY key) {
    return clock_.Timed(kRegistry, [&] { return originalRegOpenKeyExW(root, name, options, access, key); });
}

ORIGINAL(RegQueryValueExW);
LSTATUS WINAPI TimedRegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                     LPDWORD bytes) {
    return clock_.Timed(kRegistry, [&] { return originalRegQueryValueExW(key, name, reserved, type, data, bytes); });
}

ORIGINAL(RegGetValueW);
LSTATUS WINAPI TimedRegGetValueW(HKEY key, LPCWSTR subKey, LPCWSTR name, DWORD flags, LPDWORD type, PVOID data,
                                 LPDWORD bytes) {
    return clock_.Timed(kRegistry, [&] { return originalRegGetValueW(key, subKey, name, flags, type, data, bytes); });
}

ORIGINAL(RegNotifyChangeKeyValue);
LSTATUS WINAPI TimedRegNotifyChangeKeyValue(HKEY key, BOOL subtree, DWORD filter, HANDLE event, BOOL async) {
    return clock_.Timed(kRegistry, [&] { return originalRegNotifyChangeKeyValue(key, subtree, filter, event, async); });
}

#define PATCH(function) original##function = reinterpret_cast<decltype(&function)>( \
                            PatchImport(#function, reinterpret_cast<void *>(&Timed##function)))

// Every wrapper must find its call in the import table, or its phase would silently read zero.
bool PatchAll() {
    PATCH(CreateWindowExW);
    PATCH(SendMessageW);
    PATCH(SendDlgItemMessageW);
    PATCH(LoadImageW);
    PATCH(LoadMenuW);
    PATCH(RemoveMenu);
    PATCH(SetMenuItemBitmaps);
    PATCH(SetDlgItemTextW);
    PATCH(CreateFontIndirectW);
    PATCH(GetTextExtentPoint32W);
    PATCH(StretchBlt);
    PATCH(Shell_NotifyIconA);
    PATCH(RegOpenKeyExW);
    PATCH(RegQueryValueExW);
    PATCH(RegGetValueW);
    PATCH(RegNotifyChangeKeyValue);
    for (void *original : {(void *)originalCreateWindowExW, (void *)originalSendMessageW,
                           (void *)originalSendDlgItemMessageW, (void *)originalLoadImageW, (void *)originalLoadMenuW,
                           (void *)originalRemoveMenu, (void *)originalSetMenuItemBitmaps,
                           (void *)originalSetDlgItemTextW, (void *)originalCreateFontIndirectW,
                           (void *)originalGetTextExtentPoint32W, (void *)originalStretchBlt,
                           (void *)originalShell_NotifyIconA, (void *)originalRegOpenKeyExW,
                           (void *)originalRegQueryValueExW, (void *)originalRegGetValueW,
                           (void *)originalRegNotifyChangeKeyValue})
        if (!original) return false;
    return true;
}

// Shown, painted whole, and every message it posted itself handled (Quelvo's tooltips come in one).
void PaintAndSettle(HWND hwnd, MSG &message) {
    const Phase caller = clock_.Enter(kFirstPaint);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    clock_.Leave(caller);
    clock_.Enter(kTooltips);
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        if (message.message != WM_QUIT) DispatchMessageW(&message);
    clock_.Leave(kWindow);
}

std::array<double, kPhases> StartQuelvo(HINSTANCE instance) {
    SystemServices services;
    MainWindow window(services.ForWindow());
    MSG message;
    clock_.Start(kWindow);
    if (!window.Create(instance)) return {};
    window.OnLoad();
    PaintAndSettle(window.Handle(), message);
    clock_.Leave(kWindow);
    const auto spent = clock_.spent;
    return spent; // the window ends with this scope
}

std::array<double, kPhases> StartFairFloor(HINSTANCE instance) {
    MSG message;
    clock_.Start(kWindow);
    const HWND hwnd = bench::CreateFairFloor(instance);
    ShowWindow(hwnd, SW_SHOW);
    PaintAndSettle(hwnd, message);
    clock_.Leave(kWindow);
    const auto spent = clock_.spent;
    DestroyWindow(hwnd);
    return spent;
}

void Drain() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        if (message.message != WM_QUIT) DispatchMessageW(&message);
}

} // namespace

int wmain() {
    if (!PatchAll()) {
        std::fprintf(stderr, "a call to time is missing from the import table: the phases would be wrong\n");
        return 1;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    SetCursorPos(0, 0); // a themed button under a resting pointer makes Wine poll
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    constexpr int kStarts = 15;
    std::array<std::vector<double>, kPhases> quelvo, floor;
    std::vector<double> quelvoTotal, floorTotal;
    for (int run = -1; run < kStarts; ++run) { // the first start loads the libraries and classes: untimed
        const auto q = StartQuelvo(instance);
        Drain();
        const auto f = StartFairFloor(instance);
        Drain();
        if (run < 0) continue;
        for (int phase = 0; phase < kPhases; ++phase) {
            quelvo[phase].push_back(q[phase]);
            floor[phase].push_back(f[phase]);
        }
        double qSum = 0, fSum = 0;
        for (int phase = 0; phase < kPhases; ++phase) {
            qSum += q[phase];
            fSum += f[phase];
        }
        quelvoTotal.push_back(qSum);
        floorTotal.push_back(fSum);
    }
    std::printf("start-up by phase, in one process after an untimed first start, median of %d (ms):\n", kStarts);
    std::printf("  %-40s %9s %11s\n", "", "quelvo", "fair floor");
    for (int phase = 0; phase < kPhases; ++phase)
        std::printf("  %-40s %9.2f %11.2f\n", kPhaseNames[phase], Median(quelvo[phase]), Median(floor[phase]));
    const double q = Median(quelvoTotal), f = Median(floorTotal);
    std::printf("  %-40s %9.2f %11.2f   quelvo / fair floor = %.2f\n", "whole start (median of the sums)", q, f, q / f);
    return 0;
}
