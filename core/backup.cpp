#include "backup.h"

#include <algorithm>

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
    // Every viewer writes the same places; for the current user two of them can map to one.
    for (const RegistryWrite &write : SwitchWrites(Viewers().front(), scope)) {
        const auto same = [&](const RegFileEntry &entry) { return entry.path == write.path; };
        if (std::ranges::none_of(entries, same)) entries.push_back(EntryFor(write.path, registry.ReadValue(write.path)));
    }
    return entries;
}

std::string BackupFileBytes(Scope scope, RegistryReader &registry) {
    return RegFileBytes(BackupEntries(scope, registry));
}

std::vector<RegFileEntry> ExportEntries(const ViewerRecord &viewer, Scope scope) {
    std::vector<RegFileEntry> entries;
    for (const RegistryWrite &write : SwitchWrites(viewer, scope))
        entries.push_back({RegFileEntry::Kind::Set, write.path, write.value});
    return entries;
}

} // namespace quelvo
