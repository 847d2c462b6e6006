#include "in_place.h"

#include <algorithm>

namespace quelvo {
namespace {

LocationStatus Compare(const std::string &path, const std::string &expected, const ReadResult &read) {
    LocationStatus place;
    place.path = path;
    place.expected = expected;
    if (read.status == ReadStatus::Text)
        place.state = ValueState::Text, place.text = read.text;
    else if (read.status == ReadStatus::NotText)
        place.state = ValueState::NotText;
    else
        place.state = read.error == kRegistryFileNotFound ? ValueState::Absent : ValueState::Unreadable;
    place.matches = read.status == ReadStatus::Text && !read.expandable && read.text == expected;
    return place;
}

// The machine place a per-user value stands in for: the same key under HKEY_LOCAL_MACHINE\SOFTWARE\Classes.
std::string MachinePlaceOf(const HidingValue &hiding) {
    return std::string(kMachineClasses).append(hiding.extension).append("\\");
}

// What the user gets where a per-user value hides the machine's, judged against what the switch leaves there.
void AddWhatTheUserGets(const ViewerRecord &viewer, CheckReport &report) {
    const std::vector<RegistryWrite> end = EndState(viewer, Scope::Machine);
    for (const HidingValue &hiding : report.hiding) {
        const std::string place = MachinePlaceOf(hiding);
        const auto expected = std::ranges::find(end, place, &RegistryWrite::path);
        LocationStatus gets;
        gets.path = hiding.path;
        gets.state = hiding.state;
        gets.text = hiding.text;
        gets.expected = expected != end.end() ? expected->value : std::string();
        gets.matches = hiding.state == ValueState::Text && hiding.text == gets.expected;
        if (!gets.matches) report.userGets.push_back(std::move(gets));
    }
}

} // namespace

std::vector<RegistryWrite> EndState(const ViewerRecord &viewer, Scope scope) {
    std::vector<RegistryWrite> end;
    for (RegistryWrite &write : SwitchWrites(viewer, scope)) {
        // A machine write through the classes root lands on the machine's key of that name.
        if (write.path.starts_with(kClassesRoot))
            write.path = std::string(kMachineClasses).append(write.path.substr(kClassesRoot.size()));
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
        places.push_back(Compare(write.path, write.value, registry.ReadValue(write.path)));
    return places;
}

bool AllMatch(const std::vector<LocationStatus> &places) {
    return std::ranges::all_of(places, &LocationStatus::matches);
}

bool CheckReport::InPlace() const {
    return AllMatch(machine) && (!forUser || userGets.empty());
}

CheckReport CheckViewer(const ViewerRecord &viewer, bool forUser, bool usersChecked, RegistryReader &registry) {
    CheckReport report;
    report.viewer = &viewer;
    report.forUser = forUser;
    report.usersChecked = usersChecked || forUser;
    report.machine = CompareWithEndState(viewer, Scope::Machine, registry);
    if (report.usersChecked) report.hiding = FindHiding(registry);
    if (forUser) AddWhatTheUserGets(viewer, report);
    return report;
}

} // namespace quelvo
