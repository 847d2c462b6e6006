#include "startup.h"

namespace quelvo {

bool RunLoopTurn(MainWindow &window, DWORD timeout, int &exitCode) {
    // No timer and no thread: the registry's notice is one more thing the loop waits for.
    const HANDLE change = window.DetectionChange();
    const DWORD count = change ? 1 : 0;
    if (MsgWaitForMultipleObjectsEx(count, &change, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0 &&
        count == 1)
        window.OnDetectionChanged();
    MSG message = {};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            exitCode = static_cast<int>(message.wParam);
            return false;
        }
        if (window.PreTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}

int RunMessageLoop(MainWindow &window) {
    int exitCode = 0;
    // Also ends when the window is gone but a modal loop swallowed the quit message.
    while (window.Running() && RunLoopTurn(window, INFINITE, exitCode)) {
    }
    return exitCode;
}

int RunMainWindow(HINSTANCE instance, MainWindow::Services services) {
    MainWindow window(services);
    if (!window.Create(instance)) return 1;
    window.OnLoad();
    return RunMessageLoop(window);
}

} // namespace quelvo
