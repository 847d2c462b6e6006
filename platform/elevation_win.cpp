#include "elevation_win.h"

#include "module_export_win.h"

#include <shellapi.h>

namespace quelvo {

bool ShellElevation::IsElevated() {
    UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return false;
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    return GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

ElevatedLaunch ShellElevation::RunAsAdministrator(HWND owner, const std::wstring &program,
                                                  const std::wstring &parameters) {
    ElevatedLaunch launch;
    // Checked first so that a missing program never costs the user a consent prompt.
    if (GetFileAttributesW(program.c_str()) == INVALID_FILE_ATTRIBUTES) {
        launch.error = ERROR_FILE_NOT_FOUND;
        return launch;
    }
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = owner;
    info.lpVerb = L"runas";
    info.lpFile = program.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = SW_HIDE;
    // shell32 only when asked: the command line links this file too, and its verbs never need the shell.
    const auto execute =
        ModuleExport<BOOL WINAPI(SHELLEXECUTEINFOW *)>(LoadSystemLibrary(L"shell32.dll"), "ShellExecuteExW");
    if (!execute) {
        launch.error = GetLastError();
        return launch;
    }
    if (!execute(&info)) {
        launch.error = GetLastError();
        return launch;
    }
    launch.process.Reset(info.hProcess);
    if (!launch.process) launch.error = ERROR_INVALID_HANDLE; // started, but not a process that can be followed
    return launch;
}

DWORD ShellElevation::ExitCodeOf(HANDLE process) {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process, &code);
    return code;
}

} // namespace quelvo
