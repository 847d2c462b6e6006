#pragma once
// Reads the registry as another client does: through Windows' own reg.exe.

#include <optional>
#include <string>

namespace quelvo::e2e {

// The data of one REG_SZ value as "reg query KEY /v NAME" (or /ve) prints it; nullopt when reg finds none.
std::optional<std::wstring> RegQueryString(const std::wstring &key, const std::wstring &valueName);

} // namespace quelvo::e2e
