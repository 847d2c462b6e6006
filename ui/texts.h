#pragma once
// The window's texts: every one lives in the resource script's string table (IDS_... in resource.h), in French
// whatever the system's language. A text with parts filled in at run time holds %1, %2... where they go.

#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace quelvo {

// The text as the table holds it; empty for an ID that it does not hold.
std::wstring LoadText(UINT id);
// The same in the ANSI code page, for the notification area's record.
std::string LoadAnsiText(UINT id);
// The text with %1 to %9 replaced by the arguments in order, and %% by one %; the arguments are taken as they
// are, never read for % themselves.
std::wstring FormatText(UINT id, std::initializer_list<std::wstring_view> arguments);
// The same filling on a text already loaded.
std::wstring FillIn(std::wstring_view pattern, std::initializer_list<std::wstring_view> arguments);
// The string table's IDS_WINDOWS_SAYS filled with the system's own words for error and its code: the one place
// the window composes it.
std::wstring WindowsSays(DWORD error);

} // namespace quelvo
