#pragma once
// Drives a real quelvo.exe from another process, as a person and the shell would: it starts the program, clicks
// and chooses commands, and reads the window, the notification area and the registry through the Win32 API.
// Menus belong to their process and cannot be read from here; the in-process tests check them.

#include "../win/process_runner.h"
#include "ui/resource.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace quelvo::e2e {

using namespace std::chrono_literals;

// Polls until condition holds or the time is up; true when it held. The limit is a ceiling, never a verdict.
bool WaitFor(const std::function<bool()> &condition, std::chrono::milliseconds limit = test::Ceiling());

std::wstring WindowText(HWND hwnd);
// An empty message there and back: once it returns true, window's thread has handled everything sent before.
bool RoundTrip(HWND window);

std::wstring QuelvoPath();

class Program {
public:
    Program() = default;
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;
    ~Program();

    // Starts quelvo.exe (or a copy elsewhere) and waits for its main window to be shown. False if it never was;
    // What() then says why.
    bool Start(const std::wstring &path = QuelvoPath());
    // Starts it without waiting for anything.
    bool Launch(const std::wstring &path = QuelvoPath());
    bool Exited(std::chrono::milliseconds limit = test::Ceiling());
    // What became of it: could not start (and the system's error), ended with a code, or still running and
    // whether its main window is shown.
    std::string What();
    DWORD ExitCode() const;
    void Kill();

    HWND Window();
    HWND Control(int id) { return GetDlgItem(Window(), id); }
    std::wstring StatusText() { return WindowText(Control(IDC_TEXT1)); }
    void SetStatusText(const std::wstring &text);

    // A menu command, as the menu sends it; returns once the program has carried it out.
    void Command(int id);
    // A click on a button.
    void ClickControl(int id);
    // Waits until the program has handled everything sent before; false if it no longer answers.
    bool Settle();

    bool IconPresent();
    void DeleteIcon();
    void Notify(UINT mouseMessage);
    // The program's own open pop-up menu, if any; another process's menu does not count.
    HWND PopupMenu();
    // A real right click on the program's notification icon, until the program's own pop-up is open.
    bool OpenIconPopup();

    // The error box the program shows, if any: its text; closing it with OK.
    HWND FindMessageBox();
    std::wstring MessageBoxText(HWND box);
    void CloseMessageBox(HWND box);
    // Pressing one of a task dialog's buttons.
    void PressDialogButton(HWND box, int id);

    DWORD ProcessId() const { return process_.Id(); }
    HANDLE ProcessHandle() const { return process_.Handle(); }
    // The program's working set in bytes, as the system reports it.
    std::size_t WorkingSet() const;

private:
    test::ChildProcess process_;
    HWND window_ = nullptr;
};

int CountTopLevelWindows(const wchar_t *className);

// Screen capture of the whole virtual desktop, written as folder\name.bmp (24 bits).
bool SaveScreenshot(const std::wstring &folder, const std::wstring &name);
void ClickAt(POINT point, bool right = false);
void PressKey(WORD key);

// Real X input through xdotool on the display (arguments as on its command line, e.g. "key space"). A Windows
// process cannot start it, so with_xdotool.sh runs it for us: a request file there, an acknowledgement back.
// False when no such helper runs or it did not answer.
bool XdotoolAvailable();
bool Xdotool(const std::string &arguments);

} // namespace quelvo::e2e
