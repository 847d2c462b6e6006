#include "in_place.h"

#include <algorithm>

namespace quelvo {
namespace {

LocationStatus Compare(const std::string &path, const std::string &expected, const SeenValue &seen) {
    return {path, seen.state, seen.text, expected, HoldsEndValue(seen, expected)};
}

std::string WinningPath(const PlaceVerdict &place) {
    switch (place.winner) {
    case Winner::UserKey:
        return place.userPath;
    case Winner::UserChoice:
        return place.choicePath;
    case Winner::Machine:
    case Winner::Unknown:
        break;
    }
    return place.machinePath;
}

// What the user gets where their own settings win, judged against what the switch leaves on the machine; settings
// that could not be read count as differing, since nothing says they do not.
void AddWhatTheUserGets(const ViewerRecord &viewer, CheckReport &report) {
    const std::vector<RegistryWrite> end = EndState(viewer, Scope::Machine);
    for (const PlaceVerdict *place : report.hiding.Hiding()) {
        const auto expected = std::ranges::find(end, place->machinePath, &RegistryWrite::path);
        LocationStatus gets;
        gets.path = WinningPath(*place);
        gets.state = place->winner == Winner::Unknown ? ValueState::Unreadable : place->Effective().state;
        gets.text = place->Effective().text;
        gets.expected = expected != end.end() ? expected->value : std::string();
        gets.matches = HoldsEndValue({gets.state, gets.text}, gets.expected);
        if (!gets.matches) report.userGets.push_back(std::move(gets));
    }
}

} // namespace

std::vector<RegistryWrite> EndState(const ViewerRecord &viewer, Scope scope) {
    std::vector<RegistryWrite> end;
    for (RegistryWrite &write : SwitchWrites(viewer, scope)) {
        const auto same = std::ranges::find(end, write.path, &RegistryWrite::path);
        if (same == end.end())
            end.push_back(std::move(write));
        else
            same->value = std::move(write.value);
    }
    return end;
}

std::vector<LocationStatus> CompareWithEndState(const ViewerRecord &viewer, Scope scope, RegistryReader &registry) {
    std::vector<LocationStatus> places;
    for (const RegistryWrite &write : EndState(viewer, scope))
        places.push_back(Compare(write.path, write.value, ReadSeen(registry, write.path)));
    return places;
}

bool AllMatch(const std::vector<LocationStatus> &places) {
    return std::ranges::all_of(places, &LocationStatus::matches);
}

bool CheckReport::InPlace() const {
    return AllMatch(machine) && (!forUser || userGets.empty());
}

CheckReport CheckViewer(const ViewerRecord &viewer, bool forUser, Account account, RegistryReader &registry) {
    CheckReport report;
    report.viewer = &viewer;
    report.forUser = forUser;
    report.machine = CompareWithEndState(viewer, Scope::Machine, registry);
    report.hiding = CheckHiding(registry, forUser ? Account::User : account);
    if (forUser) AddWhatTheUserGets(viewer, report);
    return report;
}

} // namespace quelvo
