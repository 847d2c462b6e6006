#pragma once
// A function looked up in a module rather than imported: the program still loads on a Windows that lacks it, and a
// library loaded only when it is needed costs nothing before.

#include <windows.h>

#include <string>

namespace quelvo {

// Function is the function's type, e.g. UINT WINAPI(HWND); nullptr where the module or the export is missing.
template <typename Function> Function *ModuleExport(HMODULE module, const char *name) {
    return module ? reinterpret_cast<Function *>(reinterpret_cast<void *>(GetProcAddress(module, name))) : nullptr;
}

// The same in a module that the process has loaded already (user32, kernel32...).
template <typename Function> Function *ModuleExport(const wchar_t *loadedModule, const char *name) {
    return ModuleExport<Function>(GetModuleHandleW(loadedModule), name);
}

// A library of the system folder, loaded by full path: nothing beside the program can stand in for it. It stays
// loaded; nullptr when it cannot be.
inline HMODULE LoadSystemLibrary(const wchar_t *name) {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    return LoadLibraryW((std::wstring(folder, length) + L"\\" + name).c_str());
}

} // namespace quelvo
