#pragma once

#include <windows.h>

#include <string>

namespace quelvo {

// The system's own words for an error code, without the trailing line break.
std::wstring SystemText(DWORD error);

} // namespace quelvo
