#include "status.h"

#include "exit_codes.h"

#include <algorithm>

namespace quelvo {
namespace {

void AddLocations(RegistryReader &registry, const ViewerRecord *viewer, StatusReport &report) {
    for (const RegistryWrite &place : FinalValues(BuildAssociationList(viewer ? *viewer : Viewers().front()))) {
        LocationStatus location;
        location.path = place.path;
        SeenValue seen = ReadSeen(registry, place.path);
        location.state = seen.state;
        location.text = seen.text;
        if (viewer) {
            location.expected = place.value;
            location.matches = HoldsEndValue(seen, location.expected);
        }
        report.locations.push_back(std::move(location));
    }
}

} // namespace

int StatusReport::ExitCode() const {
    if (!viewer) return ToInt(quelvo::ExitCode::NoViewer);
    if (!std::ranges::all_of(locations, &LocationStatus::matches)) return ToInt(quelvo::ExitCode::Failed);
    if (!hiding.usersChecked) return ToInt(quelvo::ExitCode::UsersNotChecked);
    return ToInt(hiding.Hiding().empty() ? quelvo::ExitCode::Ok : quelvo::ExitCode::Failed);
}

bool HoldsEndValue(const SeenValue &seen, std::string_view expected) {
    return seen.state == ValueState::Text && seen.text == expected;
}

StatusReport CheckStatus(RegistryReader &registry, Account account) {
    StatusReport report;
    const ReadResult machineWrl = registry.ReadValue(kMachineDetectionPath);
    if (machineWrl.status == ReadStatus::Text) report.viewer = FindViewerByDetectionValue(machineWrl.text);
    AddLocations(registry, report.viewer, report);
    report.hiding = CheckHiding(registry, account);
    return report;
}

} // namespace quelvo
