// Where a click's time goes, step by step: Quelvo's real window (linked in, with its resources and manifest) and the
// fair floor's (fair_floor.h), clicked in this one process in turn. The program is not changed for it: this program's
// own import table sends the system calls a click makes through timers (import_timer.h), and each call's time goes
// to the step its kind belongs to. What no such call covers (the button's press, the program's own code, the
// conversions of text) stays with the first line.
//   quelvo_click_phases.exe
#include "../tests/win/registry_fixture.h"
#include "fair_floor.h"
#include "import_timer.h"

#include "ui/main_window.h"
#include "ui/system_services.h"
#include "ui/resource.h"

#include <windows.h>
#include <aclapi.h>
#include <commctrl.h>
#include <sddl.h>

#include <cstdio>

using namespace quelvo;
using bench::Median;

namespace {

constexpr int kViewers = static_cast<int>(kViewerCount); // the clicks go round the catalogue

enum Step { kOther, kLock, kBackup, kReads, kWrites, kCloses, kText, kChecks, kPaint, kPost, kFollowUp, kSteps };
constexpr const char *kStepNames[kSteps] = {"button press, the program's own code",
                                            "switch lock",
                                            "backup check",
                                            "registry reads (probe, detection)",
                                            "registry writes (create, set)",
                                            "key handles closed",
                                            "Text1's text",
                                            "menu check marks",
                                            "Text1's paint",
                                            "follow-up posted",
                                            "follow-up (shell notice, what hides)"};

bench::PhaseClock<Step, kSteps> clock_;

#define ORIGINAL(function) decltype(&function) original##function = nullptr
#define WRAP(step, result, function, params, args)                                                                     \
    ORIGINAL(function);                                                                                                \
    result WINAPI Timed##function params {                                                                             \
        return clock_.Timed(step, [&] { return original##function args; });                                            \
    }

WRAP(kLock, HANDLE, CreateMutexExW, (LPSECURITY_ATTRIBUTES a, LPCWSTR n, DWORD f, DWORD d), (a, n, f, d))
WRAP(kLock, BOOL, ConvertStringSecurityDescriptorToSecurityDescriptorW,
     (LPCWSTR s, DWORD r, PSECURITY_DESCRIPTOR *d, PULONG l), (s, r, d, l))
WRAP(kLock, DWORD, MsgWaitForMultipleObjectsEx, (DWORD c, const HANDLE *h, DWORD t, DWORD m, DWORD f), (c, h, t, m, f))
WRAP(kLock, DWORD, WaitForSingleObject, (HANDLE h, DWORD t), (h, t))
WRAP(kLock, BOOL, ReleaseMutex, (HANDLE h), (h))
WRAP(kBackup, BOOL, GetFileAttributesExW, (LPCWSTR n, GET_FILEEX_INFO_LEVELS l, LPVOID d), (n, l, d))
WRAP(kReads, LSTATUS, RegOpenKeyExW, (HKEY r, LPCWSTR n, DWORD o, REGSAM s, PHKEY k), (r, n, o, s, k))
WRAP(kReads, LSTATUS, RegQueryValueExW, (HKEY k, LPCWSTR n, LPDWORD r, LPDWORD t, LPBYTE d, LPDWORD b),
     (k, n, r, t, d, b))
WRAP(kWrites, LSTATUS, RegCreateKeyExW,
     (HKEY r, LPCWSTR n, DWORD z, LPWSTR c, DWORD o, REGSAM s, const LPSECURITY_ATTRIBUTES a, PHKEY k, LPDWORD d),
     (r, n, z, c, o, s, a, k, d))
WRAP(kWrites, LSTATUS, RegSetValueExW, (HKEY k, LPCWSTR n, DWORD z, DWORD t, const BYTE *d, DWORD b),
     (k, n, z, t, d, b))
WRAP(kCloses, LSTATUS, RegCloseKey, (HKEY k), (k))
WRAP(kText, BOOL, SetDlgItemTextW, (HWND w, int i, LPCWSTR t), (w, i, t))
WRAP(kText, BOOL, SetWindowTextW, (HWND w, LPCWSTR t), (w, t))
WRAP(kChecks, DWORD, CheckMenuItem, (HMENU m, UINT i, UINT f), (m, i, f))
WRAP(kPaint, BOOL, UpdateWindow, (HWND w), (w))
WRAP(kPost, BOOL, PostMessageW, (HWND w, UINT m, WPARAM p, LPARAM l), (w, m, p, l))

#define PATCH(function)                                                                                                \
    (original##function = reinterpret_cast<decltype(&function)>(                                                       \
         bench::PatchImport(#function, reinterpret_cast<void *>(&Timed##function)))) != nullptr

// Every wrapper must find its call in the import table, or its step would silently read zero.
bool PatchAll() {
    return PATCH(CreateMutexExW) && PATCH(ConvertStringSecurityDescriptorToSecurityDescriptorW) &&
           PATCH(MsgWaitForMultipleObjectsEx) && PATCH(WaitForSingleObject) && PATCH(ReleaseMutex) &&
           PATCH(GetFileAttributesExW) && PATCH(RegOpenKeyExW) && PATCH(RegQueryValueExW) && PATCH(RegCreateKeyExW) &&
           PATCH(RegSetValueExW) && PATCH(RegCloseKey) && PATCH(SetDlgItemTextW) && PATCH(SetWindowTextW) &&
           PATCH(CheckMenuItem) && PATCH(UpdateWindow) && PATCH(PostMessageW);
}

void Drain() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        if (message.message != WM_QUIT) DispatchMessageW(&message);
}

// One click, its steps; what it posted to itself is handled after it, as the follow-up.
std::array<double, kSteps> Click(HWND button) {
    clock_.Start(kOther);
    SendMessageW(button, BM_CLICK, 0, 0);
    clock_.Enter(kFollowUp);
    Drain();
    clock_.Leave(kOther);
    return clock_.spent;
}

} // namespace

int wmain() {
    if (!PatchAll()) {
        std::fprintf(stderr, "a call to time is missing from the import table: the steps would be wrong\n");
        return 1;
    }
    // As on a PC with the viewers installed: no message on the picture after a click, which would stop the clicks.
    const test::PlantedControls controls;
    INITCOMMONCONTROLSEX common = {sizeof common, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    SetCursorPos(0, 0); // a themed button under a resting pointer makes Wine poll
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    SystemServices services;
    MainWindow window(services.ForWindow());
    if (!window.Create(instance)) return 1;
    window.OnLoad();
    const HWND floor = bench::CreateFairFloor(instance);
    ShowWindow(floor, SW_SHOW);
    Drain();
    constexpr int kClicks = 100;
    std::array<std::vector<double>, kSteps> quelvo, fair;
    std::vector<double> quelvoTotal, fairTotal;
    for (int run = -20; run < kClicks; ++run) { // the first clicks keep the backup and load the shell: untimed
        const auto q = Click(GetDlgItem(window.Handle(), IDC_COMMAND1 + (run + 20) % kViewers));
        const auto f = Click(GetDlgItem(floor, bench::kFairFloorButton));
        if (run < 0) continue;
        double qSum = 0, fSum = 0;
        for (int step = 0; step < kSteps; ++step) {
            quelvo[step].push_back(q[step]);
            fair[step].push_back(f[step]);
            if (step != kFollowUp) qSum += q[step], fSum += f[step];
        }
        quelvoTotal.push_back(qSum);
        fairTotal.push_back(fSum);
    }
    DestroyWindow(floor);
    std::printf("a click by step, in one process, median of %d (ms):\n", kClicks);
    std::printf("  %-40s %9s %11s\n", "", "quelvo", "fair floor");
    for (int step = 0; step < kSteps; ++step)
        std::printf("  %-40s %9.3f %11.3f\n", kStepNames[step], Median(quelvo[step]), Median(fair[step]));
    const double q = Median(quelvoTotal), f = Median(fairTotal);
    std::printf("  %-40s %9.3f %11.3f   quelvo / fair floor = %.2f\n", "click to the name (median of the sums)", q, f,
                q / f);
    return 0;
}
