#pragma once
// The 29 registry writes that make one viewer the default handler, and the switch that performs them.

#include "backup_store.h"
#include "registry.h"
#include "shell_notifier.h"
#include "viewer_catalogue.h"
#include "viewer_display.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace quelvo {

// The roots of the class keys: the machine's, which a switch writes; the classes root, which is what the user
// running the program sees and is only ever read; the user's own, where a per-user switch writes.
inline constexpr std::string_view kMachineClasses = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\";
inline constexpr std::string_view kClassesRoot = "HKEY_CLASSES_ROOT\\";
inline constexpr std::string_view kUserClasses = "HKEY_CURRENT_USER\\Software\\Classes\\";
// Below a classes root: where the content types live.
inline constexpr std::string_view kContentTypes = "MIME\\Database\\Content Type\\";

// The eleven content types in the standard write order.
inline constexpr std::array<std::string_view, 11> kContentTypeNames = {
    "model/vrml",     "model/x3d",     "model/fx3d",     "model/x3d+xml",     "model/x3d+vrml",    "model/x3d-vrml",
    "x-world/x-vrml", "x-world/x-x3d", "x-world/x-fx3d", "x-world/x-x3d+xml", "x-world/x-x3d-vrml"};

struct RegistryWrite {
    std::string path;
    std::string value;
    bool operator==(const RegistryWrite &) const = default;
};

// Content types first (in the viewer's order), then the machine extension set, then the classes-root set. All
// 29 go to the machine's keys: through HKEY_CLASSES_ROOT a write would land in the profile of an account that has
// a key of its own for that extension, and every other user would keep the machine's old value.
std::vector<RegistryWrite> BuildAssociationList(const ViewerRecord &viewer);

// The 20 distinct places the list writes, each with the value it ends with, in the order of first writes.
std::vector<RegistryWrite> FinalValues(const std::vector<RegistryWrite> &writes);

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
// cannot be kept stops the switch before any write unless withoutBackup. Stops at the first refused write; the
// writes before it stay. If anything was written the shell hears of it once and the display shows what detection
// now finds; a switch that wrote nothing leaves it untouched.
SwitchOutcome SwitchViewer(const ViewerRecord &viewer, const SwitchServices &services, ViewerDisplay &display);

} // namespace quelvo
