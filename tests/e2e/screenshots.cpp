// Takes pictures of what a person sees, for the documentation and for looking at: the main window, its menu, the
// about window, the message about the user's own keys and the icon's pop-up. Not a test: it checks nothing and says
// only whether it could take them.
//   quelvo_screenshots.exe FOLDER      (a Windows path; the pictures are FOLDER\name.bmp, each of the whole desktop,
//                                       with FOLDER\name.crop beside it: the part to keep, as WIDTHxHEIGHT+X+Y)

#include "../win/registry_fixture.h"
#include "driver.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace quelvo::e2e;

namespace {

bool Failed(const char *what) {
    std::fprintf(stderr, "screenshots: %s\n", what);
    return false;
}

int CountVisibleMenus() {
    int count = 0;
    for (HWND menu = nullptr; (menu = FindWindowExW(nullptr, menu, L"#32768", nullptr));)
        count += IsWindowVisible(menu) ? 1 : 0;
    return count;
}

RECT WindowRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

// The window with the menus open over it.
RECT WithVisibleMenus(RECT rect) {
    for (HWND menu = nullptr; (menu = FindWindowExW(nullptr, menu, L"#32768", nullptr));)
        if (IsWindowVisible(menu)) {
            const RECT part = WindowRect(menu);
            UnionRect(&rect, &rect, &part);
        }
    return rect;
}

// The driver captures the whole desktop; the part named beside it, the window itself, is what the script keeps
// (scripts/env.sh, take_screenshots).
bool Take(const std::wstring &folder, const std::wstring &name, RECT part) {
    const RECT desktop = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                          GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                          GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (!IntersectRect(&part, &part, &desktop) || !SaveScreenshot(folder, name)) return false;
    std::ofstream crop(std::filesystem::path(folder + L"\\" + name + L".crop"));
    crop << part.right - part.left << 'x' << part.bottom - part.top << '+' << part.left - desktop.left << '+'
         << part.top - desktop.top << '\n';
    return crop.good();
}

// A real click on "Paramétres" in the menu bar, just above the client area, then onto "Viewer".
bool OpenViewerMenu(Program &program) {
    POINT client = {0, 0};
    ClientToScreen(program.Window(), &client);
    const int menuHeight = GetSystemMetrics(SM_CYMENU);
    // Pointer presses injected from another process are sometimes lost under Wine; a person clicks again. On a
    // loaded machine a menu that did get its press may take longer than a probe to open: each try waits three.
    bool opened = false;
    for (int attempt = 0; attempt < 3 && !opened; ++attempt) {
        ClickAt({client.x + 20, client.y - menuHeight / 2});
        opened = WaitFor([&] { return program.PopupMenu() != nullptr; }, 3 * quelvo::test::Probe());
    }
    if (!opened) return false;
    SetCursorPos(client.x + 30, client.y + menuHeight / 2 + 4);
    WaitFor([] { return CountVisibleMenus() >= 2; }); // the submenu, after the system's hover delay
    return true;
}

// Painting comes last in a window's queue and nothing says when it is done: a picture waits a moment after the
// window has handled everything else.
void LetItPaint(HWND window) {
    RoundTrip(window);
    std::this_thread::sleep_for(500ms);
}

void CloseMenus(Program &program) {
    for (int i = 0; i < 3; ++i)
        PressKey(VK_ESCAPE);
    WaitFor([&] { return program.PopupMenu() == nullptr; });
}

bool TakeAll(Program &program, const std::wstring &folder) {
    if (!program.Start()) return Failed("the window did not open");
    SetForegroundWindow(program.Window());
    LetItPaint(program.Window());
    if (!Take(folder, L"main-window", WindowRect(program.Window())))
        return Failed("main-window could not be written");

    if (!OpenViewerMenu(program)) return Failed("the menu did not open");
    Take(folder, L"menu-viewer", WithVisibleMenus(WindowRect(program.Window())));
    CloseMenus(program);

    program.Command(IDM_PROPOS);
    HWND about = nullptr;
    if (!WaitFor([&] { return (about = FindWindowW(L"QuelvoAboutWindow", nullptr)) != nullptr; }))
        return Failed("the about window did not open");
    LetItPaint(about);
    Take(folder, L"about-window", WindowRect(about));
    PostMessageW(about, WM_CLOSE, 0, 0);

    // What a click says when this user's own key hides the machine's values: a key planted for the picture.
    quelvo::test::SetStringValue(HKEY_CURRENT_USER, L"Software\\Classes\\.wrl", L"", L"Someone.Else");
    program.ClickControl(IDC_COMMAND8);
    HWND box = nullptr;
    const bool asked = WaitFor([&] { return (box = program.FindMessageBox()) != nullptr; });
    quelvo::test::DeleteTree(HKEY_CURRENT_USER, L"Software\\Classes\\.wrl");
    if (!asked) return Failed("the message about the user's own keys did not open");
    LetItPaint(box);
    Take(folder, L"hiding-dialog", WindowRect(box));
    program.PressDialogButton(box, IDCANCEL);
    WaitFor([&] { return program.FindMessageBox() == nullptr; });

    program.Command(IDM_MSYSTRAY);
    if (!program.OpenIconPopup()) return Failed("the icon's pop-up did not open");
    LetItPaint(program.PopupMenu());
    // The pop-up stands at the icon: its corner of the desktop shows both.
    RECT popup = WindowRect(program.PopupMenu());
    popup.right = GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    popup.bottom = GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    Take(folder, L"tray-popup", popup);
    CloseMenus(program);
    return true;
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quelvo_screenshots.exe FOLDER\n");
        return 2;
    }
    // The window shows a viewer in its status box, as it does on most machines.
    quelvo::test::SetStringValue(HKEY_CLASSES_ROOT, L".wrl", L"", L"Octaga.Octaga.wrl");
    Program program;
    const bool taken = TakeAll(program, argv[1]);
    program.Command(IDM_MQUITTER);
    program.Exited();
    return taken ? 0 : 1;
}
