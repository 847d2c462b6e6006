#pragma once
// This PC's Windows version, environment strings and files, as the chain to a picture reads them.

#include "core/system_facts.h"

namespace quelvo {

// RtlGetVersion, since GetVersionEx answers what the manifest declares rather than what runs; zeros if it fails.
WindowsVersion RunningWindowsVersion();

class Win32SystemFacts : public SystemFacts {
public:
    WindowsVersion Version() override;
    std::string ExpandEnvironment(std::string_view text) override;
    bool FileExists(std::string_view path) override;
};

} // namespace quelvo
