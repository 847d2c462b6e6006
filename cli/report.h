#pragma once
// What status, check and diagnose print alike as JSON, for scripts; their texts are in messages.h.

#include "core/hiding.h"

#include <nlohmann/json.hpp>

#include <string>

namespace quelvo::cli {

// The shape of status --json and check --json; raised when a field changes meaning or goes away.
inline constexpr int kJsonFormat = 1;

std::string_view StateName(ValueState state);  // text, absent, notText, unreadable
std::string_view WinnerName(Winner winner);    // machine, userKey, userChoice, unknown
nlohmann::ordered_json ValueJson(const std::string &path, const SeenValue &value);
// The document as ASCII text and a line end; indent -1 keeps it on one line.
std::string SafeJson(const nlohmann::ordered_json &document, int indent);

} // namespace quelvo::cli
