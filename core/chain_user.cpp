// The links that follow the values to this user: the machine's places, what of the user's own wins over them, and
// what a double-click on a file runs.
#include "chain.h"
#include "chain_read.h"

#include "association.h"
#include "in_place.h"
#include "messages.h"

namespace quelvo {
namespace {

std::string Shown(const SeenValue &value) {
    switch (value.state) {
    case ValueState::Text:
        return "\"" + value.text + "\"";
    case ValueState::Absent:
        return std::string(kReadAbsent);
    case ValueState::NotText:
        return std::string(kReadNotText);
    case ValueState::Unreadable:
        break;
    }
    return std::string(kReadUnreadable);
}

// What this user's Windows 11 reads first: a newer choice in UserChoiceLatest (Microsoft documents no more of it
// than its place, so only a choice that differs from the machine's value counts).
void CheckLatestChoices(const HidingReport &report, RegistryReader &registry, Link &link) {
    std::string differing, unread;
    for (const PlaceVerdict &place : report.places) {
        if (place.kind != PlaceVerdict::Kind::Extension || !ShellLooksUp(place.name)) continue;
        std::string path;
        SeenValue latest{ValueState::Absent, {}};
        for (const std::string &candidate : UserChoiceLatestPaths(place.name)) {
            path = candidate;
            latest = ReadSeen(registry, path);
            if (latest.state != ValueState::Absent) break;
        }
        if (latest.state == ValueState::Absent || latest == place.machine) continue;
        link.read.push_back({path, Shown(latest)});
        std::string &names = latest.state == ValueState::Text ? differing : unread;
        names += (names.empty() ? "" : ", ") + place.name;
    }
    if (!differing.empty())
        if (!differing.empty()) link.Break(LatestChoicesWinCause(differing));
    if (!unread.empty()) link.Doubt(LatestChoicesUnreadCause(unread));
}

} // namespace

Link ValuesLink(const ChainInputs &in) {
    Link link{LinkId::Values};
    std::size_t differing = 0;
    for (const LocationStatus &place : CompareWithEndState(in.viewer, Scope::Machine, in.registry)) {
        if (place.matches) continue;
        ++differing;
        link.read.push_back({place.path, Shown(SeenValue{place.state, place.text})});
    }
    if (differing != 0) link.Break(MachineDiffersCause(differing, in.viewer.displayName));
    return link;
}

Link HiddenLink(const ChainInputs &in) {
    Link link{LinkId::Hidden};
    if (in.account != Account::User) {
        link.Doubt(NotAUserCause());
        return link;
    }
    const HidingReport report = CheckHiding(in.registry, in.account);
    std::string byKey, byChoice, unread;
    for (const PlaceVerdict &place : report.places) {
        if (!place.Differs()) continue;
        const bool choice = place.winner == Winner::UserChoice;
        link.read.push_back({choice ? place.choicePath : place.userPath, Shown(place.Effective())});
        std::string &names = place.winner == Winner::Unknown ? unread : choice ? byChoice : byKey;
        names += (names.empty() ? "" : ", ") + place.name;
    }
    if (!byKey.empty()) link.Break(UserKeysWinCause(byKey, in.viewer.displayName));
    if (!byChoice.empty()) link.Break(UserChoicesWinCause(byChoice));
    if (!unread.empty()) link.Doubt(UserSettingsUnreadCause(unread));
    CheckLatestChoices(report, in.registry, link);
    return link;
}

} // namespace quelvo
