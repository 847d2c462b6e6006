// What status, check and use print alike: values, what wins for the user, JSON kept to ASCII.
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

} // namespace quelvo::cli
