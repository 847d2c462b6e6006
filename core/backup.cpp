#include "backup.h"

namespace quelvo {
namespace {

RegFileEntry EntryFor(const std::string &path, const ReadResult &read) {
    switch (read.status) {
    case ReadStatus::Text:
        return {RegFileEntry::Kind::Set, path, read.text};
    case ReadStatus::NotText:
        return {RegFileEntry::Kind::Comment, path, "holds a value that is not text; not saved"};
    case ReadStatus::Failed:
        break;
    }
    if (read.error == kRegistryFileNotFound) return {RegFileEntry::Kind::Delete, path, {}};
    return {RegFileEntry::Kind::Comment, path, "could not be read (error " + std::to_string(read.error) + "); not saved"};
}

} // namespace

std::vector<RegFileEntry> BackupEntries(Scope scope, RegistryReader &registry) {
    std::vector<RegFileEntry> entries;
    // Every viewer writes the same 20 places.
    for (const RegistryWrite &place : FinalValues(SwitchWrites(Viewers().front(), scope)))
        entries.push_back(EntryFor(place.path, registry.ReadValue(place.path)));
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
