#pragma once
// Where the 32-bit registry view keeps what a 32-bit process opens (Microsoft, "Registry Keys Affected by WOW64"):
// HKEY_LOCAL_MACHINE\SOFTWARE is redirected to its Wow6432Node, except Classes, which is shared but for CLSID and
// a few others, redirected to Classes\Wow6432Node; the same few are redirected under HKEY_CURRENT_USER's classes.

#include <string>
#include <string_view>

namespace quelvo {

// The path at which a 32-bit process's value is stored, as a 64-bit process sees it; shared keys stay as they are.
std::string Wow64StoredPath(std::string_view path);

} // namespace quelvo
