#pragma once
// The main window's switch: a click, what is offered after a refused write, the switch as administrator, one
// report at a time, and what follows a switch once the status box shows it.

#include "core/association.h"
#include "core/viewer_display.h"
#include "elevated_switch.h"
#include "hiding_report.h"
#include "picture_report.h"
#include "core/backup_store.h"
#include "platform/elevation_win.h"
#include "platform/notification_area_win.h"
#include "core/system_facts.h"
#include "core/registry.h"
#include "core/shell_notifier.h"
#include "platform/switch_lock_win.h"
#include "platform/user_defaults_win.h"
#include "window_messages.h"

#include <windows.h>

#include <optional>
#include <set>
#include <string>

namespace quelvo {

// What the main window works with.
struct WindowServices {
    RegistryWriter &registryWriter;
    RegistryReader &registryReader;
    NotificationArea &notificationArea;
    BackupStore &machineBackup;
    ShellNotifier &shell;
    Elevation &elevation;
    SystemFacts &system; // with the registry: whether a viewer can show 3D content here
    UserDefaults &userDefaults;
    Win32SwitchLock &switchLock; // around the machine's writes
    std::uint32_t lockWaitMilliseconds = kDefaultLockWaitSeconds * 1000;
    BackupStore *userBackup = nullptr; // kept before a per-user switch; none without it
};

// Stands in for the shell during a switch: the notice, dear under Wine, waits for the posted follow-up so that
// the status box shows the new viewer first.
class DeferredShellNotice : public ShellNotifier {
public:
    void AssociationsChanged() override { pending = true; }
    bool pending = false;
};

class SwitchFlow {
public:
    // display: what shows the viewer, the window's status box and menu.
    SwitchFlow(const WindowServices &services, ViewerDisplay &display)
        : services_(services), display_(display), elevatedSwitch_(services.elevation) {}
    SwitchFlow(const SwitchFlow &) = delete;
    SwitchFlow &operator=(const SwitchFlow &) = delete;

    void Attach(HWND window) { window_ = window; }
    // The click on a viewer's button or menu item.
    void Click(const ViewerRecord &viewer);
    void OnElevatedSwitchDone();
    void OnFollowUp();
    // A waiting switch as administrator is let go; a switch made just before the end is told all the same.
    void OnWindowDestroyed();

private:
    SwitchOutcome Switch(const ViewerRecord &viewer, Scope scope, bool withoutBackup = false);
    std::optional<SwitchOutcome> SwitchMachineLocked(const ViewerRecord &viewer, bool withoutBackup = false);
    void HandleRefusedSwitch(const ViewerRecord &viewer, const SwitchOutcome &outcome);
    bool SwitchForMe(const ViewerRecord &viewer); // true once switched
    void SwitchAsAdministrator(const ViewerRecord &viewer, bool withoutBackup = false);
    void ReportMovedAside(const SwitchOutcome &outcome);
    void PostFollowUp(const ViewerRecord *checkHiding);
    void FlushShellNotice();
    void ReportWhatHides(const ViewerRecord &viewer);
    // The first thing that keeps the viewer from showing 3D content here, once per cause; nullopt when told or none.
    std::optional<Link> NewPictureBlocker(const ViewerRecord &viewer);
    void ReportPicture(const ViewerRecord &viewer);
    UserHiders FindUserHiders();
    int Report(const std::wstring &text, UINT flags);
    int Ask(const Choice &choice);

    const WindowServices &services_;
    ViewerDisplay &display_;
    HWND window_ = nullptr;
    ElevatedSwitch elevatedSwitch_;
    const ViewerRecord *elevatedViewer_ = nullptr;
    bool elevatedWithoutBackup_ = false;
    DeferredShellNotice deferredNotice_;
    const ViewerRecord *followUpViewer_ = nullptr; // the last machine switch that wrote every value, until checked
    bool followUpPosted_ = false;
    bool reportOpen_ = false;
    std::set<std::string> toldPictureCauses_; // reasons already said in this run of the window
};

} // namespace quelvo
