#pragma once

#include "main_window.h"

namespace quelvo {

// The session-wide name that tells a second start that the program already runs.
inline constexpr wchar_t kSingleInstanceMutex[] = L"Local\\Tarnix.Quelvo.SingleInstance";

int RunMessageLoop(MainWindow &window);
// Creates the main window, runs its load handler and then the message loop until the program ends; the exit code,
// 1 when the window cannot be created.
int RunMainWindow(HINSTANCE instance, MainWindow::Services services);

} // namespace quelvo
