// What status, check and diagnose print alike as JSON, kept to ASCII.
#include "report.h"

namespace quelvo::cli {

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
