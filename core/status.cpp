#include "status.h"

#include "detection.h"

#include <algorithm>
#include <tuple>

namespace quelvo {
namespace {

constexpr std::string_view kFileExts = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";

class NoDisplay : public ViewerDisplay {
    void SetStatusText(std::string_view) override {}
    void SetViewerChecked(const ViewerRecord &, bool) override {}
};

std::pair<ValueState, std::string> Read(RegistryReader &registry, const std::string &path) {
    const ReadResult read = registry.ReadValue(path);
    if (read.status == ReadStatus::Text) return {ValueState::Text, read.text};
    if (read.status == ReadStatus::NotText) return {ValueState::NotText, {}};
    return {read.error == kRegistryFileNotFound ? ValueState::Absent : ValueState::Unreadable, {}};
}

std::string UserDefaultPath(std::string_view extension) {
    return std::string(kUserClasses).append(extension).append("\\");
}

// HKEY_CLASSES_ROOT\<ext> is HKLM\SOFTWARE\Classes\<ext> unless the user has a key of their own, which Windows
// then shows, and writes, under the classes-root name. A per-user key that both names ignore (Wine merges none)
// leaves them one key: they then read the same.
std::string WhereItLands(RegistryReader &registry, const std::string &path) {
    std::string_view rest = path;
    if (rest.starts_with(kMachineClasses)) rest.remove_prefix(kMachineClasses.size());
    else if (rest.starts_with(kClassesRoot)) rest.remove_prefix(kClassesRoot.size());
    else return path;
    const std::string extension(rest.substr(0, rest.find('\\')));
    const std::string classesRoot = std::string(kClassesRoot).append(rest);
    const bool userKey =
        extension.starts_with('.') && Read(registry, UserDefaultPath(extension)).first != ValueState::Absent;
    if (userKey && Read(registry, std::string(kMachineClasses).append(rest)) != Read(registry, classesRoot))
        return path;
    return classesRoot;
}

void AddLocations(RegistryReader &registry, const ViewerRecord *viewer, StatusReport &report) {
    const std::vector<RegistryWrite> writes = BuildAssociationList(viewer ? *viewer : Viewers().front());
    std::vector<std::string> landing;
    for (const RegistryWrite &write : writes)
        landing.push_back(WhereItLands(registry, write.path));
    for (std::size_t i = 0; i < writes.size(); ++i) {
        LocationStatus location;
        location.path = writes[i].path;
        std::tie(location.state, location.text) = Read(registry, writes[i].path);
        if (viewer) {
            const auto last = std::find(landing.rbegin(), landing.rend(), landing[i]);
            location.expected = writes[static_cast<std::size_t>(landing.rend() - last) - 1].value;
            location.matches = location.state == ValueState::Text && location.text == location.expected;
        }
        report.locations.push_back(std::move(location));
    }
}

} // namespace

std::vector<HidingValue> FindHiding(RegistryReader &registry) {
    std::vector<HidingValue> found;
    for (std::string_view extension : kExtensions) {
        const std::string userDefault = UserDefaultPath(extension);
        const std::string choice = std::string(kFileExts).append(extension).append("\\UserChoice\\ProgId");
        for (auto [kind, path] : {std::pair{HidingValue::Kind::UserDefault, userDefault},
                                  std::pair{HidingValue::Kind::UserChoice, choice}}) {
            auto [state, text] = Read(registry, path);
            if (state != ValueState::Absent)
                found.push_back({kind, std::string(extension), path, state, std::move(text)});
        }
    }
    return found;
}

int StatusReport::ExitCode() const {
    if (!viewer) return 3;
    const bool allMatch = std::ranges::all_of(locations, &LocationStatus::matches);
    return allMatch && hiding.empty() ? 0 : 1;
}

StatusReport CheckStatus(RegistryReader &registry) {
    StatusReport report;
    NoDisplay display;
    report.viewer = DetectCurrentViewer(registry, display);
    AddLocations(registry, report.viewer, report);
    report.hiding = FindHiding(registry);
    return report;
}

} // namespace quelvo
