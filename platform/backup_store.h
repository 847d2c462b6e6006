#pragma once
// Where the first switch keeps the values it is about to replace: written once, never overwritten.

#include "registry.h"

#include <string_view>

namespace quelvo {

class BackupStore {
public:
    virtual ~BackupStore() = default;
    virtual bool Exists() = 0;
    // Stores bytes unless a backup is already there; kRegistryFileExists then, and the old one stays.
    virtual RegistryError WriteNew(std::string_view bytes) = 0;
};

inline constexpr RegistryError kRegistryFileExists = 80;

} // namespace quelvo
