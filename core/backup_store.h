#pragma once
// Where a first switch keeps the values it is about to replace: written once, never overwritten.

#include "registry.h"

#include <string>
#include <string_view>

namespace quelvo {

struct BackupCheck {
    // Kept: a trusted backup is there. None: none (any untrusted one was put aside). Failed: could not tell.
    enum class State { Kept, None, Failed };
    State state = State::None;
    std::string movedAside; // what was put aside because it could not be trusted, under its new name, and why
    RegistryError error = kRegistryOk;
};

class BackupStore {
public:
    virtual ~BackupStore() = default;
    // Looks at what is there; an untrusted folder or file is moved aside, never read, followed or deleted.
    virtual BackupCheck Check() = 0;
    // Stores bytes unless a backup is already there; kRegistryFileExists then, and the old one stays.
    virtual RegistryError WriteNew(std::string_view bytes) = 0;
    // Where it lives, for messages (UTF-8).
    virtual std::string Location() { return {}; }
};

inline constexpr RegistryError kRegistryFileExists = 80;
// ERROR_FILE_TOO_LARGE: the backup would be larger than any that is read back.
inline constexpr RegistryError kRegistryFileTooLarge = 223;

} // namespace quelvo
