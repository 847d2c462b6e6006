// What list and status print: for people as lines, for scripts as one JSON document.
#include "commands.h"
#include "diagnose.h"
#include "report.h"

#include "core/detection.h"
#include "core/exit_codes.h"
#include "core/status.h"
#include "core/text_escape.h"
#include "core/viewer_name.h"
#include "platform/installation_probe_win.h"
#include "platform/registry_win.h"

namespace quelvo::cli {
namespace {

std::string ViewsText(ServerViews views) {
    if (views.view32 && views.view64) return "enregistré en 32 et en 64 bits";
    if (views.view32) return "enregistré en 32 bits";
    if (views.view64) return "enregistré en 64 bits";
    return "non enregistré";
}

std::string ControlLines(const ViewerRecord &viewer, InstallationProbe &probe) {
    std::string text = "    contrôle " + std::string(viewer.vrmlClsid) + " : " + ViewsText(probe.InprocServer(viewer.vrmlClsid));
    if (viewer.x3dClsid != viewer.vrmlClsid)
        text += "\n    contrôle X3D " + std::string(viewer.x3dClsid) + " : " + ViewsText(probe.InprocServer(viewer.x3dClsid));
    text += "\n    type de fichier " + std::string(viewer.extensionProgId) + " : " +
            (probe.ProgIdExists(viewer.extensionProgId) ? "présent" : "absent") + "\n";
    for (const ViewerRecord *other : ViewersSharingAClass(viewer))
        text += "    identifiant de classe partagé avec " + std::string(other->displayName) +
                " : le registre ne dit pas lequel des deux est installé\n";
    return text;
}

} // namespace

// Registry text goes out escaped: anyone may have planted it.
std::string ValueText(const SeenValue &value) {
    switch (value.state) {
    case ValueState::Text:
        return "\"" + EscapeControls(value.text) + "\"";
    case ValueState::Absent:
        return "absent";
    case ValueState::NotText:
        return "pas du texte";
    case ValueState::Unreadable:
        return "illisible";
    }
    return {};
}

std::string_view StateName(ValueState state) {
    switch (state) {
    case ValueState::Text:
        return "text";
    case ValueState::Absent:
        return "absent";
    case ValueState::NotText:
        return "notText";
    case ValueState::Unreadable:
        return "unreadable";
    }
    return {};
}

std::string_view WinnerName(Winner winner) {
    switch (winner) {
    case Winner::Machine:
        return "machine";
    case Winner::UserKey:
        return "userKey";
    case Winner::UserChoice:
        return "userChoice";
    case Winner::Unknown:
        return "unknown";
    }
    return {};
}

std::string KeyOf(const std::string &path) {
    return path.substr(0, path.rfind('\\'));
}

std::string WhyLine(const PlaceVerdict &place) {
    std::string line = "  " + place.name + " : ";
    switch (place.winner) {
    case Winner::Machine:
        return line + "la valeur de la machine\n";
    case Winner::UserKey:
        return line + "sa propre clé " + KeyOf(place.userPath) + ", qui masque celle de la machine même vide (" +
               (place.kind == PlaceVerdict::Kind::ContentType ? "CLSID" : "valeur par défaut") + " = " +
               ValueText(place.user) + ")\n";
    case Winner::UserChoice:
        return line + "son choix « Ouvrir avec » " + place.choicePath + " = " + ValueText(place.choice) +
               ", qui l'emporte pour un double-clic\n";
    case Winner::Unknown:
        break;
    }
    if (place.userKey == KeyState::Unknown) return line + "sa propre clé " + KeyOf(place.userPath) + " n'a pas pu être lue\n";
    return line + "son choix « Ouvrir avec » " + place.choicePath + " = " + ValueText(place.choice) + " (illisible)\n";
}

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

nlohmann::ordered_json ValueJson(const std::string &path, const SeenValue &value) {
    using Json = nlohmann::ordered_json;
    return {{"path", path},
            {"state", StateName(value.state)},
            {"value", value.state == ValueState::Text ? Json(value.text) : Json(nullptr)}};
}

// ASCII only, so that no planted control or bidirectional character reaches a terminal; JSON leaves DEL alone,
// and outside strings it never occurs.
std::string SafeJson(const nlohmann::ordered_json &document, int indent) {
    std::string text = document.dump(indent, ' ', true, nlohmann::ordered_json::error_handler_t::replace);
    for (std::size_t at = text.find('\x7F'); at != std::string::npos; at = text.find('\x7F', at))
        text.replace(at, 1, "\\u007f");
    return text + "\n";
}

int ListViewers(Console &console) {
    Win32Registry registry;
    const ViewerRecord *current = DetectCurrentViewer(registry); // what this user gets, as in the window
    Win32InstallationProbe probe;
    std::string text;
    for (const ViewerRecord &viewer : Viewers()) {
        text += (&viewer == current ? "* " : "  ") + std::string(viewer.displayName) +
                (&viewer == current ? " (viewer actuel)\n" : "\n");
        text += ControlLines(viewer, probe);
    }
    console.Out(text);
    return ToInt(ExitCode::Ok);
}

int ShowStatus(const Arguments &arguments, Console &console, Account account) {
    Win32Registry registry;
    const StatusReport report = CheckStatus(registry, account);
    if (arguments.json)
        console.Out(SafeJson(StatusJson(report), 2));
    else
        console.Out(StatusText(report) + (report.viewer ? FirstBrokenLine(DiagnoseHere(*report.viewer, account)) : ""));
    return report.ExitCode();
}

} // namespace quelvo::cli
