#pragma once
// The registry through direct Win32 calls.

#include "registry.h"
#include "registry_path.h"

#include <windows.h>

namespace quelvo {

HKEY RootKey(RegistryRoot root);

class Win32Registry : public RegistryWriter, public RegistryReader {
public:
    RegistryError WriteString(std::string_view path, std::string_view value) override;
    ReadResult ReadValue(std::string_view path) override;
    KeyResult KeyExists(std::string_view path) override;
};

} // namespace quelvo
