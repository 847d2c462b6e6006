#include "dll_search_win.h"

#include "module_export_win.h"

#include <windows.h>

namespace quelvo {

bool RestrictDllSearchToSystemFolder() {
    const auto setDirectories = ModuleExport<BOOL WINAPI(DWORD)>(L"kernel32.dll", "SetDefaultDllDirectories");
    return setDirectories && setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

} // namespace quelvo
