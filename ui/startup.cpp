#include "startup.h"

#include "platform/backup_store_win.h"
#include "platform/dll_search_win.h"
#include "platform/elevation_win.h"
#include "platform/registry_win.h"
#include "platform/shell_notifier_win.h"
#include "platform/single_instance_win.h"
#include "platform/viewer_control_probe_win.h"

#include <commctrl.h>

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

} // namespace quelvo

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace quelvo;
    RestrictDllSearchToSystemFolder();
    // Taken before any window exists; a second start ends silently and leaves the first untouched.
    UniqueKernelHandle singleInstance;
    if (!ClaimSingleInstance(kSingleInstanceMutex, singleInstance)) return 0;

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    Win32Registry registry;
    ShellNotificationArea notificationArea;
    FileBackupStore machineBackup(MachineBackupPath());
    Win32ShellNotifier shell;
    ShellElevation elevation;
    RegistryViewerControlProbe controlProbe;
    MainWindow window({registry, registry, notificationArea, machineBackup, shell, elevation, controlProbe});
    if (!window.Create(instance)) return 1;
    window.OnLoad();
    return RunMessageLoop(window);
}
