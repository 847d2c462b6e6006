#pragma once
// A switch: the association list written through the registry interface, the values it replaces kept first, the
// shell told once, and the display shown what detection then finds.

#include "association.h"
#include "backup_store.h"
#include "registry.h"
#include "shell_notifier.h"
#include "viewer_display.h"

#include <chrono>
#include <cstddef>
#include <string>

namespace quelvo {

struct SwitchServices {
    RegistryWriter &writer;
    RegistryReader &reader; // what the backup reads
    BackupStore &machineBackup;
    ShellNotifier &shell;
    Scope scope = Scope::Machine;
    // The user's own backup, kept before a per-user switch; none is kept without it.
    BackupStore *userBackup = nullptr;
    // Asked for after a switch stopped for want of a backup: it goes on without one (and says so ever after).
    bool withoutBackup = false;
    std::chrono::system_clock::time_point now = std::chrono::system_clock::now();
};

// Written: the values before this switch were kept. Failed, Unreadable: they could not be, and the switch wrote
// nothing. Skipped: they could not be and the switch went on, as asked.
enum class BackupResult { NotNeeded, Written, Failed, Unreadable, Skipped };

struct SwitchOutcome {
    std::size_t writesDone = 0;
    std::string failedPath;            // empty when every write succeeded
    RegistryError error = kRegistryOk; // the system's code for the refused write
    BackupResult backup = BackupResult::NotNeeded;
    RegistryError backupError = kRegistryOk;
    std::string unreadablePath = {}; // Unreadable, Skipped: the place that could not be read
    std::string movedAside = {};     // an untrusted backup or folder put aside on the way, its new name and why
    bool beforeThisSwitch = false;   // Written: it holds the values from before this switch, not from before Quelvo
    std::size_t valuesCopied = 0;    // per-user: what of the machine's keys went into the keys the switch created
    bool StoppedForBackup() const { return backup == BackupResult::Failed || backup == BackupResult::Unreadable; }
    bool Succeeded() const { return error == kRegistryOk && !StoppedForBackup(); }
};

// Where a switch made without a backup is recorded, so that no later backup calls itself "before Quelvo".
inline constexpr std::string_view kMachineNoBackupRecord =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Quelvo\\SwitchedWithoutBackup";
inline constexpr std::string_view kUserNoBackupRecord = "HKEY_CURRENT_USER\\Software\\Quelvo\\SwitchedWithoutBackup";

// Keeps the old values first if no backup exists yet, once the first write is known to be allowed (the first write
// probed, the store checked, the values read, the file kept); a backup that cannot be kept stops the switch before
// any write unless withoutBackup. A per-user switch copies the machine's key into each per-user key it creates,
// before writing there. Stops at the first refused write; the writes before it stay. If anything was
// written the shell hears of it once and display, if given, shows what detection now finds; a switch that wrote
// nothing leaves it untouched.
SwitchOutcome SwitchViewer(const ViewerRecord &viewer, const SwitchServices &services,
                           ViewerDisplay *display = nullptr);

// The display shows only what the registry now says: the viewer found alone checked, or an empty status box and no
// check mark at all.
void ShowDetectedViewer(RegistryReader &registry, ViewerDisplay &display);

} // namespace quelvo
