#pragma once
// A PC for the chain's rules: a Windows version, %SystemRoot% and the files that exist, as a 64-bit process sees them.

#include "core/system_facts.h"

#include <set>
#include <string>

namespace quelvo {

class FakeSystem : public SystemFacts {
public:
    WindowsVersion version{6, 1, 7601, true};
    std::set<std::string, std::less<>> files;

    WindowsVersion Version() override { return version; }
    std::string ExpandEnvironment(std::string_view text) override {
        std::string out(text);
        for (std::size_t at = out.find("%SystemRoot%"); at != std::string::npos; at = out.find("%SystemRoot%"))
            out.replace(at, 12, "C:\\Windows");
        return out;
    }
    bool FileExists(std::string_view path) override { return files.contains(path); }
};

} // namespace quelvo
