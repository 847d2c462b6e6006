#pragma once
// A PC for the chain's rules: a Windows version, %SystemRoot% and the files that exist, as a 64-bit process sees them.

#include "core/association.h"
#include "core/system_facts.h"
#include "core/wow64.h"
#include "fakes/registry_fake.h"

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

// The viewer's controls registered where a 32-bit browser looks, with a file that exists.
inline void RegisterControls(FakeRegistry &registry, FakeSystem &system, const ViewerRecord &viewer) {
    const std::string file = "C:\\Program Files (x86)\\" + std::string(viewer.displayName) + "\\viewer.ocx";
    for (std::string_view clsid : {viewer.vrmlClsid, viewer.x3dClsid})
        registry.SetText(
            Wow64StoredPath(std::string(kMachineClasses) + "CLSID\\" + std::string(clsid) + "\\InprocServer32\\"),
            file);
    system.files.insert(file);
}

} // namespace quelvo
