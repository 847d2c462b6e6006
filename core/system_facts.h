#pragma once
// What the chain to a picture needs to know of this PC beyond the registry: its Windows version as the system
// reports it, environment strings and whether a file exists.

#include <cstdint>
#include <string>
#include <string_view>

namespace quelvo {

struct WindowsVersion {
    std::uint32_t major = 0, minor = 0, build = 0; // as RtlGetVersion reports them, never as a manifest shapes them
    bool is64Bit = true;
};

class SystemFacts {
public:
    virtual ~SystemFacts() = default;
    virtual WindowsVersion Version() = 0;
    // %SystemRoot% and the like replaced by this process's environment.
    virtual std::string ExpandEnvironment(std::string_view text) = 0;
    // A file (not a folder) at this full path, as this 64-bit process sees it.
    virtual bool FileExists(std::string_view path) = 0;
};

} // namespace quelvo
