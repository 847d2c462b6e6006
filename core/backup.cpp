#include "backup.h"

#include "class_key_copy.h"
#include "messages.h"

#include <algorithm>

namespace quelvo {
namespace {

std::string KeyOf(const std::string &path) {
    return path.substr(0, path.rfind('\\'));
}

std::string MachinePlace(const std::string &path) {
    if (!path.starts_with(kClassesRoot)) return path;
    return std::string(kMachineClasses).append(path.substr(kClassesRoot.size()));
}

std::vector<RegFileEntry> HeaderNotes(Scope scope, BackupKind kind, std::string_view when) {
    const bool machine = scope == Scope::Machine;
    std::vector<RegFileEntry> notes;
    const auto note = [&](std::string text) { notes.push_back({RegFileEntry::Kind::Note, {}, std::move(text)}); };
    note(std::string(kBackupMarker) + (machine ? "machine" : "user"));
    note(BackupWhenText(scope, kind, when));
    note(BackupWayBackText(scope));
    return notes;
}

} // namespace

std::vector<std::string> ManagedPlaces(Scope scope) {
    std::vector<std::string> places;
    // Every viewer writes the same places; two names of one extension are one key once the view is set aside.
    for (const RegistryWrite &write : SwitchWrites(Viewers().front(), scope)) {
        const std::string place = scope == Scope::Machine ? MachinePlace(write.path) : write.path;
        if (std::ranges::find(places, place) == places.end()) places.push_back(place);
    }
    return places;
}

std::vector<std::string> LegacyClassesRootPlaces() {
    std::vector<std::string> places;
    for (std::string_view extension : kExtensions)
        places.push_back(std::string(kClassesRoot).append(extension).append("\\"));
    return places;
}

namespace {

// A per-user switch copies the machine's key into each per-user key it creates (class_key_copy.h): none of what it
// copies was there, and restore deletes it, then the keys that hold nothing any more.
void AddMachineCopies(RegistryReader &registry, Snapshot &snapshot) {
    for (const MachineKeyCopy &copy : PlanMachineKeyCopies(registry)) {
        if (copy.error != kRegistryOk) {
            snapshot.unreadablePath = copy.unlistedPath;
            snapshot.error = copy.error;
            return;
        }
        for (const std::string &key : copy.subkeys)
            snapshot.entries.push_back({RegFileEntry::Kind::Note, {}, std::string(kAbsentKeyNote) + KeyOf(key)});
        for (const std::string &value : copy.values)
            snapshot.entries.push_back({RegFileEntry::Kind::Delete, value, {}});
    }
}

} // namespace

Snapshot TakeSnapshot(Scope scope, RegistryReader &registry) {
    Snapshot snapshot;
    for (const std::string &place : ManagedPlaces(scope)) {
        const RawRead read = registry.ReadRaw(place);
        if (read.error == kRegistryOk) {
            snapshot.entries.push_back({RegFileEntry::Kind::Raw, place, read.data, read.type});
            continue;
        }
        if (read.error != kRegistryFileNotFound) {
            snapshot.unreadablePath = place;
            snapshot.error = read.error;
            return snapshot;
        }
        if (!read.keyExists)
            snapshot.entries.push_back({RegFileEntry::Kind::Note, {}, std::string(kAbsentKeyNote) + KeyOf(place)});
        snapshot.entries.push_back({RegFileEntry::Kind::Delete, place, {}});
    }
    if (scope == Scope::CurrentUser) AddMachineCopies(registry, snapshot);
    return snapshot;
}

std::string BackupFileBytes(const Snapshot &snapshot, Scope scope, BackupKind kind, std::string_view when) {
    std::vector<RegFileEntry> entries = HeaderNotes(scope, kind, when);
    entries.insert(entries.end(), snapshot.entries.begin(), snapshot.entries.end());
    return RegFileBytes(entries);
}

std::string UtcStamp(std::chrono::system_clock::time_point when) {
    using namespace std::chrono;
    const auto day = floor<days>(when);
    const year_month_day date(day);
    const hh_mm_ss time(floor<minutes>(when - day));
    const auto two = [](unsigned n) { return std::string(n < 10 ? "0" : "") + std::to_string(n); };
    return std::to_string(static_cast<int>(date.year())) + "-" + two(static_cast<unsigned>(date.month())) + "-" +
           two(static_cast<unsigned>(date.day())) + " " + two(time.hours().count()) + ":" +
           two(time.minutes().count()) + " UTC";
}

std::vector<RegFileEntry> BackupEntries(Scope scope, RegistryReader &registry) {
    std::vector<RegFileEntry> entries;
    for (const std::string &place : ManagedPlaces(scope)) {
        const RawRead read = registry.ReadRaw(place);
        if (read.error == kRegistryOk) entries.push_back({RegFileEntry::Kind::Raw, place, read.data, read.type});
        else if (read.error == kRegistryFileNotFound) entries.push_back({RegFileEntry::Kind::Delete, place, {}});
        else
            entries.push_back({RegFileEntry::Kind::Comment, place,
                               "could not be read (error " + std::to_string(read.error) + "); not saved"});
    }
    return entries;
}

std::string BackupFileBytes(Scope scope, RegistryReader &registry) {
    return RegFileBytes(BackupEntries(scope, registry));
}

std::vector<RegFileEntry> ExportEntries(const ViewerRecord &viewer, Scope scope) {
    std::vector<RegFileEntry> entries;
    for (const RegistryWrite &place : FinalValues(SwitchWrites(viewer, scope)))
        entries.push_back({RegFileEntry::Kind::Set, place.path, place.value});
    return entries;
}

} // namespace quelvo
