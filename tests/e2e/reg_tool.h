#pragma once
// Reads the registry as an administrator does: through Windows' own reg.exe.

#include "../win/process_runner.h"

#include <optional>
#include <string>

namespace quelvo::e2e {

struct RegToolRead {
    test::Outcome outcome; // reg.exe's own: 0 once it found the value
    std::optional<std::wstring> data;
    std::string output; // as printed, for a failure's message
};

// The data of one REG_SZ value as "reg query KEY /v NAME" (or /ve) prints it; no data when it printed none.
RegToolRead RegQueryString(const std::wstring &key, const std::wstring &valueName);

} // namespace quelvo::e2e
