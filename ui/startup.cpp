#include "startup.h"

#include "platform/backup_store_win.h"
#include "platform/registry_win.h"
#include "platform/shell_notifier_win.h"

#include <commctrl.h>

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

} // namespace quelvo

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace quelvo;
    // Taken before any window exists; a second start ends silently and leaves the first untouched.
    UniqueKernelHandle singleInstance(CreateMutexW(nullptr, FALSE, kSingleInstanceMutex));
    if (GetLastError() == ERROR_ALREADY_EXISTS) return 0;

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    Win32Registry registry;
    ShellNotificationArea notificationArea;
    FileBackupStore machineBackup(MachineBackupPath());
    Win32ShellNotifier shell;
    MainWindow window({registry, registry, notificationArea, machineBackup, shell});
    if (!window.Create(instance)) return 1;
    window.OnLoad();
    return RunMessageLoop(window);
}
