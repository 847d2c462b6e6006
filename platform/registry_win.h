#pragma once
// The registry through direct Win32 calls.

#include "registry.h"

namespace quelvo {

class Win32Registry : public RegistryWriter, public RegistryReader {
public:
    RegistryError WriteString(std::string_view path, std::string_view value) override;
    ReadResult ReadValue(std::string_view path) override;
};

} // namespace quelvo
