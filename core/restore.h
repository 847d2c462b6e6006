#pragma once
// Reading a backup back: only the places Quelvo manages, with any saved type, and nothing else.

#include "association.h"
#include "registry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quelvo {

struct RestoreAction {
    enum class Kind { Set, Delete, RemoveKeyIfEmpty };
    Kind kind = Kind::Set;
    std::string path; // RemoveKeyIfEmpty: a path in the key, as for its default value
    std::uint32_t type = 0;
    std::string data;
    std::string line; // as the file writes it, for the report
};

struct RestorePlan {
    std::vector<RestoreAction> actions;
    std::vector<std::string> skipped; // version 2.0.0's classes-root lines, reported and not restored
    bool keptByQuelvo = false;        // carries the note of a backup this version keeps, for this scope
    std::size_t refusedLine = 0;      // 1-based; 0 when the whole file is accepted
    std::string refusedReason;
    bool Accepted() const { return refusedLine == 0 && !actions.empty(); }
    // A backup that Quelvo kept itself: this version's mark, or version 2.0.0's classes-root lines. A file that
    // export or backup wrote holds the same places but neither.
    bool KeptByQuelvo() const { return Accepted() && (keptByQuelvo || !skipped.empty()); }
};

// bytes: UTF-16LE after a byte-order mark, as regedit and Quelvo write them, or UTF-8. A line that names any other
// key or value, or that the file format does not allow, refuses the whole file.
RestorePlan ReadBackup(std::string_view bytes, Scope scope);

// The action's write through the registry layer.
RegistryError ApplyRestoreAction(const RestoreAction &action, RegistryWriter &writer);

} // namespace quelvo
