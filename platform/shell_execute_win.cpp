#include "shell_execute_win.h"

#include "module_export_win.h"

#include <objbase.h>

namespace quelvo {
namespace {

// Once a thread: it keeps its apartment until it ends.
void EnterApartment() {
    thread_local bool entered = false;
    if (entered) return;
    const auto initialise = ModuleExport<HRESULT WINAPI(void *, DWORD)>(LoadSystemLibrary(L"ole32.dll"), "CoInitializeEx");
    // A thread already in another apartment (RPC_E_CHANGED_MODE) keeps it: the shell works from either.
    if (initialise) entered = SUCCEEDED(initialise(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
}

} // namespace

DWORD ShellExecuteWithCom(SHELLEXECUTEINFOW &info) {
    EnterApartment();
    const auto execute =
        ModuleExport<BOOL WINAPI(SHELLEXECUTEINFOW *)>(LoadSystemLibrary(L"shell32.dll"), "ShellExecuteExW");
    if (!execute) return GetLastError();
    return execute(&info) ? ERROR_SUCCESS : GetLastError();
}

std::wstring SystemProgram(const wchar_t *name) {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::wstring(folder, length) + L"\\" + name;
}

} // namespace quelvo
