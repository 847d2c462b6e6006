// status: the machine's viewer, its places and what wins for this user; as lines for people, JSON for scripts.
#include "commands.h"
#include "diagnose.h"
#include "report.h"

#include "core/status.h"
#include "platform/registry_win.h"

namespace quelvo::cli {
namespace {

std::string StatusText(const StatusReport &report) {
    std::string text = "Viewer de la machine : " +
                       (report.viewer ? std::string(report.viewer->displayName) : std::string("aucun viewer reconnu")) +
                       " (d'après " + std::string(kMachineDetectionPath) + ")\n\nLes " +
                       std::to_string(report.locations.size()) + " emplacements de la machine :\n";
    std::size_t differing = 0;
    for (const LocationStatus &location : report.locations) {
        const bool judged = report.viewer != nullptr;
        differing += judged && !location.matches;
        text += std::string(!judged ? "  ?  " : location.matches ? "  ok " : "  ≠  ") + location.path + " = " +
                ValueText({location.state, location.text});
        if (judged && !location.matches) text += " (attendu : \"" + location.expected + "\")";
        text += "\n";
    }
    const std::size_t hidden = report.hiding.Hiding().size();
    if (!report.hiding.usersChecked) {
        text += "\nCompte système ou service : HKEY_CURRENT_USER est ici le profil du système, celui d'aucun "
                "utilisateur. Les réglages propres aux utilisateurs n'ont pas été vérifiés.\n";
    } else {
        text += "\nCe qui l'emporte pour cet utilisateur :\n";
        for (const PlaceVerdict &place : report.hiding.places)
            text += WhyLine(place);
    }
    if (!report.viewer) return text + "\nBilan : aucun viewer reconnu.\n";
    switch (report.ExitCode()) {
    case ToInt(ExitCode::Ok):
        return text + "\nBilan : cohérent.\n";
    case ToInt(ExitCode::UsersNotChecked):
        return text + "\nBilan : les valeurs de la machine sont en place ; réglages des utilisateurs non vérifiés.\n";
    default:
        break;
    }
    return text + "\nBilan : " + std::to_string(differing) + " valeur(s) différente(s)" +
           (report.hiding.usersChecked ? ", " + std::to_string(hidden) + " emplacement(s) masqué(s) pour cet utilisateur"
                                       : std::string()) +
           ".\n";
}

nlohmann::ordered_json StatusJson(const StatusReport &report) {
    using Json = nlohmann::ordered_json;
    Json document = {{"format", kJsonFormat},
                     {"viewer", report.viewer ? Json(report.viewer->displayName) : Json(nullptr)},
                     {"exitCode", report.ExitCode()},
                     {"usersChecked", report.hiding.usersChecked}};
    Json &locations = document["locations"] = Json::array();
    for (const LocationStatus &location : report.locations)
        locations.push_back({{"path", location.path},
                             {"state", StateName(location.state)},
                             {"value", location.state == ValueState::Text ? Json(location.text) : Json(nullptr)},
                             {"expected", report.viewer ? Json(location.expected) : Json(nullptr)},
                             {"matches", location.matches}});
    Json &places = document["forThisUser"] = Json::array();
    for (const PlaceVerdict &place : report.hiding.places) {
        Json entry = {{"kind", place.kind == PlaceVerdict::Kind::ContentType ? "contentType" : "extension"},
                      {"name", place.name},
                      {"winner", WinnerName(place.winner)},
                      {"machine", ValueJson(place.machinePath, place.machine)}};
        if (report.hiding.usersChecked) {
            entry["userKey"] = {{"path", KeyOf(place.userPath)},
                                {"exists", place.userKey == KeyState::Unknown ? Json(nullptr)
                                                                              : Json(place.userKey == KeyState::Present)},
                                {"value", ValueJson(place.userPath, place.user)}};
            if (!place.choicePath.empty()) entry["userChoice"] = ValueJson(place.choicePath, place.choice);
        }
        places.push_back(std::move(entry));
    }
    return document;
}

} // namespace

int RunStatus(const Arguments &arguments, Console &console, const VerbContext &context) {
    const Account account = context.account;
    Win32Registry registry;
    const StatusReport report = CheckStatus(registry, account);
    if (arguments.json)
        console.Out(SafeJson(StatusJson(report), 2));
    else
        console.Out(StatusText(report) + (report.viewer ? FirstBrokenLine(DiagnoseHere(*report.viewer, account)) : ""));
    return report.ExitCode();
}

} // namespace quelvo::cli
