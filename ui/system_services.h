#pragma once
// The window's services as the program runs them, on the system itself: one place wires them, for the program and
// for the benchmarks that time the real window.

#include "main_window.h"
#include "platform/backup_store_win.h"
#include "platform/elevation_win.h"
#include "platform/notification_area_win.h"
#include "platform/registry_win.h"
#include "platform/shell_notifier_win.h"
#include "platform/switch_lock_win.h"
#include "platform/system_facts_win.h"
#include "platform/user_defaults_win.h"

namespace quelvo {

struct SystemServices {
    Win32Registry registry;
    ShellNotificationArea notificationArea;
    FileBackupStore machineBackup{Scope::Machine};
    FileBackupStore userBackup{Scope::CurrentUser};
    Win32ShellNotifier shell;
    ShellElevation elevation;
    Win32SystemFacts system;
    Win32UserDefaults userDefaults;
    Win32SwitchLock switchLock;

    MainWindow::Services ForWindow() {
        return {registry, registry,     notificationArea, machineBackup, shell, elevation,
                system,   userDefaults, switchLock,       kDefaultLockWaitSeconds * 1000, &userBackup};
    }
};

} // namespace quelvo
