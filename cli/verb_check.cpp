// check: one line for Intune and ConfigMgr (exit 0 in place, 1 to repair), or one JSON document for monitoring.
#include "commands.h"
#include "messages.h"
#include "report.h"

#include "core/in_place.h"
#include "core/text_escape.h"
#include "platform/registry_win.h"

#include <algorithm>

namespace quelvo::cli {
namespace {

// What Intune keeps of a detection script's output.
constexpr std::size_t kLineLimit = 2048;

// One line whatever the values hold (registry text comes escaped already; this keeps any other control out too),
// cut at a character's start when too long.
std::string OneLine(const std::string &text) {
    const std::string line = EscapeControls(text);
    if (line.size() <= kLineLimit) return line;
    std::size_t cut = kLineLimit - 3;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
        --cut;
    return line.substr(0, cut) + "...";
}

nlohmann::ordered_json PlacesJson(const std::vector<LocationStatus> &places) {
    using Json = nlohmann::ordered_json;
    Json values = Json::array();
    for (const LocationStatus &place : places)
        values.push_back({{"path", place.path},
                          {"state", StateName(place.state)},
                          {"value", place.state == ValueState::Text ? Json(place.text) : Json(nullptr)},
                          {"expected", place.expected},
                          {"matches", place.matches}});
    return values;
}

// Where this user's own settings win, as status --json's forThisUser names them.
nlohmann::ordered_json HidingJson(const HidingReport &report) {
    using Json = nlohmann::ordered_json;
    Json values = Json::array();
    if (report.usersChecked)
        for (const PlaceVerdict *place : report.Hiding())
            values.push_back({{"name", place->name},
                              {"winner", WinnerName(place->winner)},
                              {"machine", ValueJson(place->machinePath, place->machine)},
                              {"user", place->winner == Winner::UserChoice ? ValueJson(place->choicePath, place->choice)
                                                                           : ValueJson(place->userPath, place->user)}});
    return values;
}

nlohmann::ordered_json CheckJson(const CheckReport &report, const std::string &line) {
    return {{"format", kJsonFormat},
            {"viewer", report.viewer->displayName},
            {"forUser", report.forUser},
            {"inPlace", report.InPlace()},
            {"exitCode", report.ExitCode()},
            {"usersChecked", report.hiding.usersChecked},
            {"line", line},
            {"machine", PlacesJson(report.machine)},
            {"hiding", HidingJson(report.hiding)},
            {"userGets", PlacesJson(report.userGets)}};
}

} // namespace

void PrintCheckRefused(Console &console) {
    console.Out(CheckRefusedLine());
}

int RunCheck(const Arguments &arguments, Console &console, const VerbContext &context) {
    const ViewerRecord *viewer = ViewerOrComplain(arguments.viewer, console);
    if (!viewer) {
        PrintCheckRefused(console);
        return ToInt(ExitCode::Usage);
    }
    Win32Registry registry;
    const CheckReport report = CheckViewer(*viewer, arguments.user, context.account, registry);
    const std::string line = OneLine(CheckLineText(report));
    if (arguments.json)
        console.Out(SafeJson(CheckJson(report, line), -1));
    else
        console.Out(line + "\n");
    return report.ExitCode();
}

} // namespace quelvo::cli
