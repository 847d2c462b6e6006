#include "dll_search_win.h"

#include <windows.h>

namespace quelvo {

bool RestrictDllSearchToSystemFolder() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI *)(DWORD);
    // Looked up, not imported, so that the program still loads where the function does not exist.
    const auto setDirectories = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    return setDirectories && setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

} // namespace quelvo
