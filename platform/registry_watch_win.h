#pragma once
// Tells when registry values may have changed, whoever changed them: each value's key for its values, and the key
// above it for that key's coming or going. One change ends the watch; Arm starts the next.

#include "unique_handle_win.h"

#include <windows.h>

#include <string>
#include <vector>

namespace quelvo {

class RegistryWatch {
public:
    // Full value paths, as the core spells them.
    explicit RegistryWatch(std::vector<std::string> valuePaths) : paths_(std::move(valuePaths)) {}

    // Opens the keys afresh (one may have come or gone) and asks to hear of the next change, under a new event: the
    // old keys' closing may signal the old one. False when no key could be watched.
    bool Arm();
    // Signalled at the next change since Arm; null before it or when nothing is watched.
    HANDLE Event() const { return event_.Get(); }

private:
    void Watch(HKEY root, const std::wstring &key, DWORD filter);

    std::vector<std::string> paths_;
    std::vector<UniqueKey> keys_;
    UniqueKernelHandle event_;
};

} // namespace quelvo
