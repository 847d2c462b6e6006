// The links that follow the values to this user: the machine's places, what of the user's own wins over them, and
// what a double-click on a file runs.
#include "chain.h"
#include "chain_read.h"

#include "association.h"
#include "in_place.h"

namespace quelvo {
namespace {

constexpr std::string_view kNotAUser =
    "Compte système ou service : HKEY_CURRENT_USER est ici le profil du système, celui d'aucun utilisateur ; les "
    "réglages propres aux utilisateurs n'ont pas été lus.";
constexpr std::string_view kRunAsTheUser = "Lancez quelvo-cli diagnose dans la session de l'utilisateur.";

std::string Shown(const SeenValue &value) {
    switch (value.state) {
    case ValueState::Text:
        return "\"" + value.text + "\"";
    case ValueState::Absent:
        return "absent";
    case ValueState::NotText:
        return "pas du texte";
    case ValueState::Unreadable:
        break;
    }
    return "illisible";
}

std::string Name(const ChainInputs &in) {
    return "« " + std::string(in.viewer.displayName) + " »";
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
        link.Break("Des choix « Ouvrir avec » récents de cet utilisateur (UserChoiceLatest, que Windows 11 lit "
                   "d'abord) l'emportent pour " +
                       differing + ".",
                   "Ces choix ne se changent que par l'utilisateur : Paramètres, Applications par défaut.");
    if (!unread.empty())
        link.Doubt("Les choix « Ouvrir avec » récents de cet utilisateur n'ont pas pu être lus pour " + unread + ".",
                   kRunAsTheUser);
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
    if (differing != 0)
        link.Break(std::to_string(differing) + " des 20 emplacements de la machine ne portent pas la valeur de " +
                       Name(in) + ".",
                   "Choisissez " + Name(in) + " pour tout le PC : quelvo-cli use \"" +
                       std::string(in.viewer.displayName) + "\" en administrateur, ou un clic dans Quelvo.");
    return link;
}

Link HiddenLink(const ChainInputs &in) {
    Link link{LinkId::Hidden};
    if (in.account != Account::User) {
        link.Doubt(kNotAUser, kRunAsTheUser);
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
    if (!byKey.empty())
        link.Break("Des clés propres à cet utilisateur l'emportent sur la machine pour " + byKey + ".",
                   "quelvo-cli use \"" + std::string(in.viewer.displayName) +
                       "\" --user dans sa session, ou « Pour moi aussi » dans Quelvo.");
    if (!byChoice.empty())
        link.Break("Des choix « Ouvrir avec » de cet utilisateur l'emportent pour " + byChoice + ".",
                   "Ces choix ne se changent que par l'utilisateur : Paramètres, Applications par défaut.");
    if (!unread.empty())
        link.Doubt("Les réglages propres à cet utilisateur n'ont pas pu être lus pour " + unread + ".", kRunAsTheUser);
    CheckLatestChoices(report, in.registry, link);
    return link;
}

} // namespace quelvo
