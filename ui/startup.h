#pragma once

#include "main_window.h"

namespace quelvo {

// The session-wide name that tells a second start that the program already runs.
inline constexpr wchar_t kSingleInstanceMutex[] = L"Local\\Tarnix.Quelvo.SingleInstance";

int RunMessageLoop(MainWindow &window);
// One turn of that loop: waits at most timeout for a message or a change of what detection reads, then handles
// what came. False once WM_QUIT was taken, its code in exitCode.
bool RunLoopTurn(MainWindow &window, DWORD timeout, int &exitCode);
// Creates the main window, runs its load handler and then the message loop until the program ends; the exit code,
// 1 when the window cannot be created.
int RunMainWindow(HINSTANCE instance, MainWindow::Services services);

} // namespace quelvo
