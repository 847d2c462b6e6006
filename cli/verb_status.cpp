// status: the machine's viewer, its places and what wins for this user; as lines for people, JSON for scripts.
#include "commands.h"
#include "messages.h"
#include "diagnose.h"
#include "report.h"

#include "core/status.h"
#include "platform/registry_win.h"

namespace quelvo::cli {
namespace {

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
                                {"exists", place.userKey == KeyState::Unknown
                                               ? Json(nullptr)
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
