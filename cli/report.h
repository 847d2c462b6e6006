#pragma once
// Pieces that status, check and use print alike.

#include "core/status.h"

#include <nlohmann/json.hpp>

#include <string>

namespace quelvo::cli {

// The shape of status --json and check --json; raised when a field changes meaning or goes away.
inline constexpr int kJsonFormat = 1;

std::string ValueText(ValueState state, const std::string &text); // "\"text\"", absent, pas du texte, illisible
std::string_view StateName(ValueState state);                     // text, absent, notText, unreadable
// "  .wrl : <what> <path> = <value>" and a line end.
std::string HidingLine(const HidingValue &hiding);
nlohmann::ordered_json HidingJson(const std::vector<HidingValue> &hiding);

} // namespace quelvo::cli
