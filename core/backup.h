#pragma once
// The places a switch writes, as they stand now, in a form that puts them back exactly.

#include "association.h"
#include "registry.h"
#include "reg_file.h"

#include <chrono>
#include <cstddef>

namespace quelvo {

// The places Quelvo manages, each once: for the machine under HKEY_LOCAL_MACHINE\SOFTWARE\Classes (the classes
// root is only a view of it and of the user's keys), for a user under HKEY_CURRENT_USER\Software\Classes.
std::vector<std::string> ManagedPlaces(Scope scope);
// What version 2.0.0 also saved: the nine extensions through HKEY_CLASSES_ROOT, the merged view.
std::vector<std::string> LegacyClassesRootPlaces();

// Every place with its type and exact bytes, absent values as deletions, keys that did not exist named in notes
// that only restore reads. A value that cannot be read is named in unreadablePath: such a backup is incomplete.
struct Snapshot {
    std::vector<RegFileEntry> entries;
    std::string unreadablePath;
    RegistryError error = kRegistryOk;
    bool Complete() const { return unreadablePath.empty(); }
};
Snapshot TakeSnapshot(Scope scope, RegistryReader &registry);

// The backup kept before a switch. BeforeQuelvo: no switch was made here before it. BeforeThisSwitch: an earlier
// switch was made without a backup, or an untrusted one was put aside, so it only holds what that switch replaced.
enum class BackupKind { BeforeQuelvo, BeforeThisSwitch };
std::string BackupFileBytes(const Snapshot &snapshot, Scope scope, BackupKind kind, std::string_view when);

// The first note line of every backup Quelvo keeps, then the scope's word.
inline constexpr std::string_view kBackupMarker = "quelvo-backup: ";
inline constexpr std::string_view kAbsentKeyNote = "quelvo-absent-key: ";

// The largest backup file that is written or read, the same for both, so that whatever is kept can be restored. A
// registry value holds up to 1 MB in the standard hive format; as hex text in UTF-16 each byte takes six bytes, and a
// 2.0.0 backup names up to 29 places: about 180 MB. A larger one (a hive in the latest format holds more) is refused.
inline constexpr std::size_t kLargestBackupBytes = std::size_t{256} << 20;

// "2026-12-08 05:10 UTC".
std::string UtcStamp(std::chrono::system_clock::time_point when);

// The places as they stand now for `backup`: what cannot be read is a comment.
std::vector<RegFileEntry> BackupEntries(Scope scope, RegistryReader &registry);
std::string BackupFileBytes(Scope scope, RegistryReader &registry);

// A viewer's values as a file that applies them: each place once with the value the switch leaves there, in the
// order of the switch's first write to it.
std::vector<RegFileEntry> ExportEntries(const ViewerRecord &viewer, Scope scope);

} // namespace quelvo
