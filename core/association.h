#pragma once
// The 29 registry writes that make one viewer the default handler, and the switch that performs them.

#include "platform/backup_store.h"
#include "platform/registry.h"
#include "platform/shell_notifier.h"
#include "viewer_catalogue.h"
#include "viewer_display.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace quelvo {

// The roots of the class keys that a switch writes, and where a per-user switch moves them.
inline constexpr std::string_view kMachineClasses = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\";
inline constexpr std::string_view kClassesRoot = "HKEY_CLASSES_ROOT\\";
inline constexpr std::string_view kUserClasses = "HKEY_CURRENT_USER\\Software\\Classes\\";

struct RegistryWrite {
    std::string path;
    std::string value;
    bool operator==(const RegistryWrite &) const = default;
};

// Content types first (in the viewer's order), then the machine extension keys, then the classes-root ones.
std::vector<RegistryWrite> BuildAssociationList(const ViewerRecord &viewer);

// Machine: the list as it is. CurrentUser: every key moved under HKEY_CURRENT_USER\Software\Classes, which
// Windows merges over the machine's classes for that user alone.
enum class Scope { Machine, CurrentUser };

std::string ToCurrentUserClasses(std::string_view path);
// The writes a switch makes, in its order: the association list, moved for the current user if asked.
std::vector<RegistryWrite> SwitchWrites(const ViewerRecord &viewer, Scope scope);

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
    bool beforeThisSwitch = false; // Written: it holds the values from before this switch, not from before Quelvo
    bool StoppedForBackup() const { return backup == BackupResult::Failed || backup == BackupResult::Unreadable; }
    bool Succeeded() const { return error == kRegistryOk && !StoppedForBackup(); }
};

// The status text names current, whose check mark alone is set.
void ShowCurrentViewer(const ViewerRecord &current, ViewerDisplay &display);

// Keeps the old values first if no backup exists yet, once the first write is known to be allowed; a backup that
// cannot be kept stops the switch before any write unless withoutBackup. Stops at the first refused write and then leaves the display untouched; the writes before it stay. The shell
// hears of it once if anything was written.
SwitchOutcome SwitchViewer(const ViewerRecord &viewer, const SwitchServices &services, ViewerDisplay &display);

} // namespace quelvo
