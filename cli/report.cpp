// What list and status print: for people as lines, for scripts as one JSON document.
#include "commands.h"
#include "report.h"

#include "core/status.h"
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

std::string ValueText(ValueState state, const std::string &text) {
    switch (state) {
    case ValueState::Text:
        return "\"" + text + "\"";
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

std::string HidingLine(const HidingValue &hiding) {
    const std::string what = hiding.kind == HidingValue::Kind::UserDefault ? "valeur par utilisateur"
                                                                           : "choix « Ouvrir avec » de l'utilisateur";
    return "  " + hiding.extension + " : " + what + " " + hiding.path + " = " + ValueText(hiding.state, hiding.text) +
           "\n";
}

namespace {

std::string StatusText(const StatusReport &report) {
    std::string text = "Viewer actuel : " +
                       (report.viewer ? std::string(report.viewer->displayName) : std::string("aucun viewer reconnu")) +
                       "\n\nLes 29 emplacements :\n";
    std::size_t differing = 0;
    for (const LocationStatus &location : report.locations) {
        const bool judged = report.viewer != nullptr;
        differing += judged && !location.matches;
        text += std::string(!judged ? "  ?  " : location.matches ? "  ok " : "  ≠  ") + location.path + " = " +
                ValueText(location.state, location.text);
        if (judged && !location.matches) text += " (attendu : \"" + location.expected + "\")";
        text += "\n";
    }
    text += "\nCe qui masque les valeurs de la machine pour cet utilisateur :\n";
    for (const HidingValue &hiding : report.hiding)
        text += HidingLine(hiding);
    if (report.hiding.empty()) text += "  rien\n";
    if (!report.viewer) return text + "\nBilan : aucun viewer reconnu.\n";
    if (report.ExitCode() == 0) return text + "\nBilan : cohérent.\n";
    return text + "\nBilan : " + std::to_string(differing) + " valeur(s) différente(s), " +
           std::to_string(report.hiding.size()) + " valeur(s) par utilisateur qui masquent.\n";
}

nlohmann::ordered_json StatusJson(const StatusReport &report) {
    using Json = nlohmann::ordered_json;
    Json document = {{"format", kJsonFormat},
                     {"viewer", report.viewer ? Json(report.viewer->displayName) : Json(nullptr)},
                     {"exitCode", report.ExitCode()}};
    Json &locations = document["locations"] = Json::array();
    for (const LocationStatus &location : report.locations)
        locations.push_back({{"path", location.path},
                             {"state", StateName(location.state)},
                             {"value", location.state == ValueState::Text ? Json(location.text) : Json(nullptr)},
                             {"expected", report.viewer ? Json(location.expected) : Json(nullptr)},
                             {"matches", location.matches}});
    document["hiding"] = HidingJson(report.hiding);
    return document;
}

} // namespace

nlohmann::ordered_json HidingJson(const std::vector<HidingValue> &hiding) {
    using Json = nlohmann::ordered_json;
    Json values = Json::array();
    for (const HidingValue &value : hiding)
        values.push_back({{"kind", value.kind == HidingValue::Kind::UserDefault ? "userDefault" : "userChoice"},
                          {"extension", value.extension},
                          {"path", value.path},
                          {"state", StateName(value.state)},
                          {"value", value.state == ValueState::Text ? Json(value.text) : Json(nullptr)}});
    return values;
}

int ListViewers(Console &console) {
    Win32Registry registry;
    const StatusReport report = CheckStatus(registry);
    Win32InstallationProbe probe;
    std::string text;
    for (const ViewerRecord &viewer : Viewers()) {
        text += (&viewer == report.viewer ? "* " : "  ") + std::string(viewer.displayName) +
                (&viewer == report.viewer ? " (viewer actuel)\n" : "\n");
        text += ControlLines(viewer, probe);
    }
    console.Out(text);
    return kExitOk;
}

int ShowStatus(const Arguments &arguments, Console &console) {
    Win32Registry registry;
    const StatusReport report = CheckStatus(registry);
    if (arguments.json)
        console.Out(StatusJson(report).dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n");
    else
        console.Out(StatusText(report));
    return report.ExitCode();
}

} // namespace quelvo::cli
