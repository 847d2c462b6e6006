#include "startup.h"

namespace quelvo {

int RunMessageLoop(MainWindow &window) {
    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.PreTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

int RunMainWindow(HINSTANCE instance, MainWindow::Services services) {
    MainWindow window(services);
    if (!window.Create(instance)) return 1;
    window.OnLoad();
    return RunMessageLoop(window);
}

} // namespace quelvo
