#include "startup.h"

namespace quelvo {

int RunMessageLoop(MainWindow &window) {
    MSG message = {};
    // Also ends when the window is gone but a modal loop swallowed the quit message.
    while (window.Running() && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.PreTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 0;
}

int RunMainWindow(HINSTANCE instance, MainWindow::Services services) {
    MainWindow window(services);
    if (!window.Create(instance)) return 1;
    window.OnLoad();
    return RunMessageLoop(window);
}

} // namespace quelvo
