// Prints how fast Quelvo switches and starts, and what it costs, against floors measured on the same machine.
//   quelvo_bench.exe DIR        switch latency, the command line against reg import, start-up and memory; DIR
//                               holds quelvo.exe, quelvo-cli.exe, minimal_window.exe, fair_floor_window.exe and
//                               shell_notice.exe
//   quelvo_bench.exe click DIR  the click to the new name beside the fair floor's only
//   quelvo_bench.exe idle DIR   starts quelvo.exe and announces SHOWN, TRAY and DONE 10 s apart, so that the
//                               caller can read the process's CPU time from outside at each mark
#include "../tests/win/registry_fixture.h"
#include "direct_writes.h"
#include "fair_floor.h"
#include "core/association.h"
#include "core/registry_path.h"
#include "platform/registry_win.h"
#include "platform/text_win.h"
#include "ui/resource.h"

#include <windows.h>
#include <oleauto.h>
#include <psapi.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace quelvo;
using quelvo::bench::WriteDirectly;

namespace {

constexpr int kViewers = static_cast<int>(kViewerCount); // the clicks go round the catalogue

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

struct Launched {
    PROCESS_INFORMATION process = {};
    HWND window = nullptr;
};

BOOL CALLBACK FindShown(HWND hwnd, LPARAM context) {
    auto *launched = reinterpret_cast<Launched *>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != launched->process.dwProcessId || !IsWindowVisible(hwnd) || GetWindow(hwnd, GW_OWNER)) return TRUE;
    launched->window = hwnd;
    return FALSE;
}

// Starts the program and returns once one of its top-level windows is visible.
Launched LaunchAndWaitShown(const std::wstring &path) {
    Launched launched;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + path + L"\"";
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &launched.process))
        return launched;
    const double deadline = Now() + 20000;
    while (!launched.window && Now() < deadline) {
        EnumWindows(FindShown, reinterpret_cast<LPARAM>(&launched));
        if (!launched.window) Sleep(1);
    }
    return launched;
}

void End(Launched &launched, bool isQuelvo) {
    if (isQuelvo)
        SendMessageTimeoutW(launched.window, WM_COMMAND, IDM_MQUITTER, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    else
        PostMessageW(launched.window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(launched.process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(launched.process.hProcess, 1);
    CloseHandle(launched.process.hProcess);
    CloseHandle(launched.process.hThread);
}

// The classic route: WScript.Shell's RegWrite, late bound through IDispatch.
class ScriptingShell {
public:
    ScriptingShell() {
        CLSID clsid;
        if (FAILED(CLSIDFromProgID(L"WScript.Shell", &clsid))) return;
        if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                    reinterpret_cast<void **>(&shell_))))
            return;
        LPOLESTR name = const_cast<LPOLESTR>(L"RegWrite");
        if (FAILED(shell_->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &regWrite_))) Release();
    }
    ~ScriptingShell() { Release(); }
    bool Available() const { return shell_ != nullptr; }
    void Write(const std::vector<RegistryWrite> &writes) {
        for (const RegistryWrite &write : writes) {
            VARIANT arguments[2]; // in reverse: value, then path
            VariantInit(&arguments[0]);
            VariantInit(&arguments[1]);
            arguments[0].vt = arguments[1].vt = VT_BSTR;
            arguments[0].bstrVal = SysAllocString(Widen(write.value).c_str());
            arguments[1].bstrVal = SysAllocString(Widen(write.path).c_str());
            DISPPARAMS parameters = {arguments, nullptr, 2, 0};
            shell_->Invoke(regWrite_, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr, nullptr,
                           nullptr);
            VariantClear(&arguments[0]);
            VariantClear(&arguments[1]);
        }
    }

private:
    void Release() {
        if (shell_) shell_->Release();
        shell_ = nullptr;
    }
    IDispatch *shell_ = nullptr;
    DISPID regWrite_ = 0;
};

std::size_t WorkingSetKb(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    return GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.WorkingSetSize / 1024 : 0;
}

// The routes take turns, so that whatever the machine does meanwhile weighs on all of them alike.
void BenchSwitch(const std::wstring &quelvo) {
    constexpr int kSwitches = 200;
    std::vector<std::vector<RegistryWrite>> lists;
    for (const ViewerRecord &viewer : Viewers())
        lists.push_back(BuildAssociationList(viewer));
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ScriptingShell shell;
    Launched program = LaunchAndWaitShown(quelvo);
    const auto send = [&](HWND to, UINT message, WPARAM wParam) {
        SendMessageTimeoutW(to, message, wParam, 0, SMTO_ABORTIFHUNG, 10000, nullptr);
    };
    std::vector<double> click, menu, roundTrip, floor, scripted;
    for (int run = -20; run < kSwitches; ++run) { // the first twenty warm up
        const int viewer = (run + 20) % kViewers;
        // Each route starts from a quiet machine: the program repaints after a switch, on the other core.
        const auto timed = [](const std::function<void()> &work) {
            Sleep(3);
            const double start = Now();
            work();
            return Now() - start;
        };
        // The shell notice follows each switch from a posted message; an untimed empty message lets it finish
        // before the next route, which would otherwise wait behind it.
        // Each route writes another viewer than the one before it: Wine's registry skips a write that changes nothing.
        const double byClick = timed([&] { send(GetDlgItem(program.window, IDC_COMMAND1 + viewer), BM_CLICK, 0); });
        send(program.window, WM_NULL, 0);
        const double byMenu = timed([&] { send(program.window, WM_COMMAND, IDM_MCORTONA + (viewer + 2) % kViewers); });
        send(program.window, WM_NULL, 0);
        const double byNothing = timed([&] { send(program.window, WM_NULL, 0); });
        const double byApi = timed([&] { WriteDirectly(lists[(viewer + 4) % kViewers]); });
        const double byScript = timed([&] {
            if (shell.Available()) shell.Write(lists[(viewer + 6) % kViewers]);
        });
        if (run < 0) continue;
        click.push_back(byClick);
        menu.push_back(byMenu);
        roundTrip.push_back(byNothing);
        floor.push_back(byApi);
        scripted.push_back(byScript);
    }
    End(program, true);

    const double throughProgram = Median(click), direct = Median(floor), script = Median(scripted);
    std::printf("switch, median of %d (29 writes each):\n", kSwitches);
    std::printf("  through quelvo.exe (button click)   %7.2f ms   (the shell notice follows, see below)\n",
                throughProgram);
    std::printf("  through quelvo.exe (menu command)   %7.2f ms   (an empty message there and back: %.2f ms)\n",
                Median(menu), Median(roundTrip));
    std::printf("  registry API in one process (floor) %7.2f ms   quelvo / floor     = %.2f (target <= 1.20)\n", direct,
                throughProgram / direct);
    if (shell.Available())
        std::printf("  WScript.Shell RegWrite (late bound) %7.2f ms   quelvo / scripting = %.2f (target < 1.00)\n",
                    script, throughProgram / script);
    else
        std::printf("  WScript.Shell RegWrite: not available here\n");
}

std::wstring ControlText(HWND control) {
    wchar_t text[64] = {};
    SendMessageTimeoutW(control, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 10000, nullptr);
    return text;
}

// What a person feels: the click until the new name stands in Text1 (the click's own handler sets it, and the
// benchmark reads it back afterwards), beside the fair floor's click, which writes the same 29 values and sets and
// paints its edit box's text. The two take turns, so that whatever the machine does weighs on both alike. Quelvo's
// work that waits for a posted message (the shell notice, the check of what hides) is timed apart: an empty message
// sent after the click measures it. Quelvo shows the floor's switches too, as it shows any other program's: each of
// its clicks starts once it has.
struct ClickTimes {
    std::vector<double> toName, withNotice, floorClick;
    int wrongNames = 0, unfollowed = 0;
};

void ClickRound(const std::wstring &quelvo, const std::wstring &fairFloor, bool floorFirst, int clicks,
                ClickTimes &times) {
    Launched floor, program;
    if (floorFirst) floor = LaunchAndWaitShown(fairFloor);
    program = LaunchAndWaitShown(quelvo);
    if (!floorFirst) floor = LaunchAndWaitShown(fairFloor);
    const HWND floorButton = GetDlgItem(floor.window, bench::kFairFloorButton);
    const HWND floorEdit = GetDlgItem(floor.window, bench::kFairFloorEdit);
    const HWND text1 = GetDlgItem(program.window, IDC_TEXT1);
    const auto send = [](HWND to, UINT message, WPARAM wParam) {
        SendMessageTimeoutW(to, message, wParam, 0, SMTO_ABORTIFHUNG, 10000, nullptr);
    };
    for (int run = -10; run < clicks; ++run) { // the first ten warm up
        const int viewer = (run + 10) % kViewers;
        Sleep(3);
        const double start = Now();
        send(GetDlgItem(program.window, IDC_COMMAND1 + viewer), BM_CLICK, 0);
        const double named = Now();
        send(program.window, WM_NULL, 0);
        const double done = Now();
        times.wrongNames += ControlText(text1) != Widen(Viewers()[viewer].displayName);
        // The fair floor writes the viewer three on from this one (fair_floor.h), never what Quelvo just wrote.
        Sleep(3);
        const double floorStart = Now();
        send(floorButton, BM_CLICK, 0);
        const double floorDone = Now();
        const std::wstring floorName = Widen(Viewers()[(viewer + 3) % kViewers].displayName);
        times.wrongNames += ControlText(floorEdit) != floorName;
        // Quelvo follows the floor's switch as it follows any other program's: its next click starts once it shows
        // the floor's viewer and has handled what came before, as the floor's starts with the floor idle.
        const double followStart = Now();
        while (ControlText(text1) != floorName && Now() - followStart < 10000)
            Sleep(1);
        times.unfollowed += ControlText(text1) != floorName;
        send(program.window, WM_NULL, 0);
        if (run < 0) continue;
        times.toName.push_back(named - start);
        times.withNotice.push_back(done - start);
        times.floorClick.push_back(floorDone - floorStart);
    }
    End(program, true);
    End(floor, false);
}

// Five rounds, each with both programs started afresh (in turn, which one first): where the system places two
// processes and its server on two cores holds for a process's life and moves one program's times by a quarter.
void BenchClickToName(const std::wstring &quelvo, const std::wstring &fairFloor) {
    constexpr int kRounds = 5, kClicksPerRound = 40;
    ClickTimes times;
    std::vector<double> roundRatios;
    for (int round = 0; round < kRounds; ++round) {
        const std::size_t first = times.toName.size();
        ClickRound(quelvo, fairFloor, round % 2 == 1, kClicksPerRound, times);
        const auto median = [&](const std::vector<double> &all) {
            return Median(std::vector<double>(all.begin() + static_cast<std::ptrdiff_t>(first), all.end()));
        };
        roundRatios.push_back(median(times.toName) / median(times.floorClick));
    }
    const double quelvoClick = Median(times.toName), fair = Median(times.floorClick);
    std::printf("click to the new name, median of %d in %d rounds, side by side:\n", kRounds * kClicksPerRound,
                kRounds);
    std::printf("  quelvo.exe: click to the name in Text1 %7.2f ms%s\n", quelvoClick,
                times.wrongNames ? "   (a name read back was wrong)" : "");
    std::printf("  fair floor: click, 29 writes, edit box %7.2f ms   quelvo / fair floor = %.2f (target <= 1.20)\n",
                fair, quelvoClick / fair);
    std::printf("  each round's ratio:");
    for (const double ratio : roundRatios)
        std::printf(" %.2f", ratio);
    std::printf("\n  quelvo.exe: click with the shell notice %6.2f ms\n", Median(times.withNotice));
    if (times.unfollowed)
        std::printf("  quelvo.exe did not show the fair floor's switch %d times in 10 s\n", times.unfollowed);
}

// Process start to exit, output thrown away.
double TimeProcess(std::wstring commandLine) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE sink = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                              nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = sink;
    PROCESS_INFORMATION process = {};
    const double start = Now();
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, 30000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    const double elapsed = Now() - start;
    CloseHandle(sink);
    return elapsed;
}

// A folder of the benchmark's own for the machine backup, with each viewer's exported .reg file in it.
struct CommandLineBench {
    std::wstring cli;
    std::vector<std::wstring> names, files;
};

CommandLineBench PrepareCommandLine(const std::wstring &folder) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring work = std::wstring(temp) + L"quelvo-bench";
    CreateDirectoryW(work.c_str(), nullptr);
    SetEnvironmentVariableW(L"ProgramData", work.c_str());
    CommandLineBench bench{L"\"" + folder + L"\\quelvo-cli.exe\" ", {}, {}};
    for (const ViewerRecord &viewer : Viewers()) {
        bench.names.push_back(L"\"" + Widen(viewer.displayName) + L"\"");
        bench.files.push_back(work + L"\\" + std::to_wstring(bench.names.size()) + L".reg");
        TimeProcess(bench.cli + L"export " + bench.names.back() + L" --force -o \"" + bench.files.back() + L"\"");
    }
    return bench;
}

constexpr int kCommandLineRuns = 35;

// The routes of one run timed in turn, kCommandLineRuns runs after five that warm up; the medians, route by route.
template <std::size_t Routes>
std::array<double, Routes> MediansInTurns(const std::function<std::array<double, Routes>(std::size_t run)> &timeRun) {
    constexpr int kWarmUp = 5;
    std::array<std::vector<double>, Routes> times;
    for (int run = -kWarmUp; run < kCommandLineRuns; ++run) {
        const std::array<double, Routes> once = timeRun(static_cast<std::size_t>(run + kWarmUp));
        if (run < 0) continue;
        for (std::size_t route = 0; route < Routes; ++route) times[route].push_back(once[route]);
    }
    std::array<double, Routes> medians;
    for (std::size_t route = 0; route < Routes; ++route) medians[route] = Median(times[route]);
    return medians;
}

// The same 29 values by the two routes an administrator has, taking turns; only the first switch writes the machine
// backup, as on a real machine.
void BenchCommandLine(const std::wstring &folder) {
    const CommandLineBench bench = PrepareCommandLine(folder);
    const auto [cli, import, status] = MediansInTurns<3>([&](std::size_t run) {
        const std::size_t viewer = run % bench.names.size();
        return std::array{TimeProcess(bench.cli + L"use " + bench.names[viewer]),
                          TimeProcess(L"reg.exe import \"" + bench.files[viewer] + L"\""),
                          TimeProcess(bench.cli + L"status")};
    });
    std::printf("command line, median of %d (process start to exit, 29 writes each):\n", kCommandLineRuns);
    std::printf("  quelvo-cli use                      %7.1f ms\n", cli);
    std::printf("  reg import of the exported file     %7.1f ms   quelvo-cli / reg import = %.2f\n", import,
                cli / import);
    // The same program reading the same places without telling the shell: what the notice costs shows.
    std::printf("  quelvo-cli status (no shell notice) %7.1f ms\n", status);
}

// Nothing to change: quelvo-cli use reads the places and stops; reg import writes the same values again.
void BenchCommandLineUnchanged(const std::wstring &folder) {
    const CommandLineBench bench = PrepareCommandLine(folder);
    const auto [cli, import] = MediansInTurns<2>([&](std::size_t run) {
        const std::size_t viewer = run % bench.names.size();
        TimeProcess(bench.cli + L"use " + bench.names[viewer]); // puts it in place, untimed
        return std::array{TimeProcess(bench.cli + L"use " + bench.names[viewer]),
                          TimeProcess(L"reg.exe import \"" + bench.files[viewer] + L"\"")};
    });
    std::printf("command line, nothing to change, median of %d (process start to exit):\n", kCommandLineRuns);
    std::printf("  quelvo-cli use (in place, no write)  %7.1f ms\n", cli);
    std::printf("  reg import of the same values       %7.1f ms   quelvo-cli / reg import = %.2f (target <= 1.00)\n",
                import, cli / import);
}

// A real change against the same work done by Windows' own tools: reg import, then a program that only tells the
// shell, as any program that changes associations must.
void BenchCommandLineChanged(const std::wstring &folder) {
    const CommandLineBench bench = PrepareCommandLine(folder);
    const std::wstring notice = L"\"" + folder + L"\\shell_notice.exe\"";
    const auto [cli, importAndNotice] = MediansInTurns<2>([&](std::size_t run) {
        // Each route moves away from what the other left: seven viewers, taken two by two.
        const std::size_t viewer = (2 * run) % bench.names.size(), next = (viewer + 1) % bench.names.size();
        return std::array{TimeProcess(bench.cli + L"use " + bench.names[viewer]),
                          TimeProcess(L"reg.exe import \"" + bench.files[next] + L"\"") + TimeProcess(notice)};
    });
    std::printf("command line, a change, median of %d (process start to exit):\n", kCommandLineRuns);
    std::printf("  quelvo-cli use (29 writes, notice)  %7.1f ms\n", cli);
    std::printf("  reg import, then the notice alone   %7.1f ms   quelvo-cli / both   = %.2f (target <= 1.10)\n",
                importAndNotice, cli / importAndNotice);
}

void BenchStartUp(const std::wstring &quelvo, const std::wstring &minimal, const std::wstring &fairFloor) {
    constexpr int kStarts = 15;
    SetCursorPos(0, 0); // a themed button under a resting pointer makes Wine poll
    const std::wstring programs[3] = {quelvo, minimal, fairFloor};
    std::vector<double> times[3];
    std::size_t kb[3] = {};
    for (int run = 0; run < kStarts; ++run) {
        for (int which = 0; which < 3; ++which) {
            const double start = Now();
            Launched launched = LaunchAndWaitShown(programs[which]);
            times[which].push_back(Now() - start);
            Sleep(300); // let the start-up settle before reading memory
            kb[which] = WorkingSetKb(launched.process.hProcess);
            End(launched, which == 0);
        }
    }
    const double quelvoStart = Median(times[0]), minimalStart = Median(times[1]), fairStart = Median(times[2]);
    std::printf("start-up to a visible window, median of %d:\n", kStarts);
    std::printf("  quelvo.exe                          %7.1f ms\n", quelvoStart);
    std::printf("  minimal window                      %7.1f ms   quelvo / minimal    = %.2f\n", minimalStart,
                quelvoStart / minimalStart);
    std::printf("  fair floor (manifest, comctl32 v6)  %7.1f ms   quelvo / fair floor = %.2f (target <= 1.20)\n",
                fairStart, quelvoStart / fairStart);
    std::printf("working set after start-up (last run):\n");
    std::printf("  quelvo.exe %zu KB, minimal window %zu KB, fair floor %zu KB\n", kb[0], kb[1], kb[2]);
    std::printf("  quelvo - fair floor = %ld KB (target <= 2048)\n",
                static_cast<long>(kb[0]) - static_cast<long>(kb[2]));
}

void AnnounceIdle(const std::wstring &quelvo) {
    // Away from the window: under Wine a themed button under a resting pointer polls for the pointer's leave
    // with a 10 ms timer, work that is the system's and not the program's.
    SetCursorPos(0, 0);
    Launched program = LaunchAndWaitShown(quelvo);
    Sleep(1000);
    std::printf("SHOWN\n");
    std::fflush(stdout);
    Sleep(10000);
    SendMessageTimeoutW(program.window, WM_COMMAND, IDM_MSYSTRAY, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    Sleep(1000);
    std::printf("TRAY\n");
    std::fflush(stdout);
    Sleep(10000);
    std::printf("DONE\n");
    std::fflush(stdout);
    Sleep(1000); // the caller reads the process's figures before it ends
    End(program, true);
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    if (argc == 3 && std::wstring(argv[1]) == L"idle") {
        AnnounceIdle(std::wstring(argv[2]) + L"\\quelvo.exe");
        return 0;
    }
    const bool clickOnly = argc == 3 && std::wstring(argv[1]) == L"click";
    if (argc != 2 && !clickOnly) {
        std::fprintf(stderr, "usage: quelvo_bench.exe DIR | quelvo_bench.exe click DIR | quelvo_bench.exe idle DIR\n");
        return 2;
    }
    const std::wstring folder = argv[argc - 1];
    // As on a PC with the viewers installed: no message on the picture after a click, which would stop the clicks.
    const quelvo::test::PlantedControls controls;
    SetCursorPos(0, 0); // away from every window the benchmark opens
    if (clickOnly) {
        BenchClickToName(folder + L"\\quelvo.exe", folder + L"\\fair_floor_window.exe");
        return 0;
    }
    BenchSwitch(folder + L"\\quelvo.exe");
    CoUninitialize();
    BenchClickToName(folder + L"\\quelvo.exe", folder + L"\\fair_floor_window.exe");
    BenchCommandLine(folder);
    BenchCommandLineUnchanged(folder);
    BenchCommandLineChanged(folder);
    BenchStartUp(folder + L"\\quelvo.exe", folder + L"\\minimal_window.exe", folder + L"\\fair_floor_window.exe");
    return 0;
}
