#include "startup.h"

#include "platform/backup_store_win.h"
#include "platform/dll_search_win.h"
#include "platform/elevation_win.h"
#include "platform/registry_win.h"
#include "platform/shell_notifier_win.h"
#include "platform/single_instance_win.h"
#include "platform/switch_lock_win.h"
#include "platform/user_defaults_win.h"
#include "platform/system_facts_win.h"

#include <commctrl.h>

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
    FileBackupStore machineBackup(Scope::Machine), userBackup(Scope::CurrentUser);
    Win32ShellNotifier shell;
    ShellElevation elevation;
    Win32SystemFacts system;
    Win32UserDefaults userDefaults;
    Win32SwitchLock switchLock;
    return RunMainWindow(instance, {registry, registry, notificationArea, machineBackup, shell, elevation, system,
                                    userDefaults, switchLock, kDefaultLockWaitSeconds * 1000, &userBackup});
}
