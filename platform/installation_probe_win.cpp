#include "installation_probe_win.h"

#include "text_win.h"
#include "unique_handle_win.h"

#include <windows.h>

namespace quelvo {
namespace {

// The machine's registrations: HKEY_CLASSES_ROOT would count one made for the user running the check alone.
bool KeyExists(const std::wstring &key, REGSAM view) {
    UniqueKey handle;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, (L"SOFTWARE\\Classes\\" + key).c_str(), 0, KEY_QUERY_VALUE | view,
                         handle.Receive()) == ERROR_SUCCESS;
}

} // namespace

ServerViews Win32InstallationProbe::InprocServer(std::string_view clsid) {
    const std::wstring key = L"CLSID\\" + Widen(clsid) + L"\\InprocServer32";
    return {KeyExists(key, KEY_WOW64_32KEY), KeyExists(key, KEY_WOW64_64KEY)};
}

bool Win32InstallationProbe::ProgIdExists(std::string_view progId) {
    return KeyExists(Widen(progId), 0);
}

} // namespace quelvo
