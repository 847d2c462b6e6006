#include "elevation_win.h"

#include "module_export_win.h"
#include "shell_execute_win.h"

#include <shellapi.h>

namespace quelvo {
namespace {

constexpr wchar_t kUacPolicyKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

std::optional<DWORD> PolicyValue(const wchar_t *name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kUacPolicyKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

bool InAdministrators() {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                  &administrators))
        return false;
    BOOL member = FALSE;
    if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
    FreeSid(administrators);
    return member != FALSE;
}

} // namespace

Rights ShellElevation::ReadRights() {
    Rights rights;
    UniqueKernelHandle token;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) {
        TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
        DWORD size = 0;
        if (GetTokenInformation(token.Get(), TokenElevationType, &type, sizeof type, &size)) rights.elevationType = type;
    }
    rights.administrator = InAdministrators();
    rights.enableLua = PolicyValue(L"EnableLUA");
    rights.consentPromptBehaviorUser = PolicyValue(L"ConsentPromptBehaviorUser");
    return rights;
}

bool ShellElevation::ProgramExists(const std::wstring &program) {
    const DWORD attributes = GetFileAttributesW(program.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

ElevatedLaunch ShellElevation::RunAsAdministrator(HWND owner, const std::wstring &program,
                                                  const std::wstring &parameters) {
    ElevatedLaunch launch;
    // Checked again: the file may have gone since the offer, and a missing program must never cost a prompt.
    if (!ProgramExists(program)) {
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
    if (const DWORD error = ShellExecuteWithCom(info); error != ERROR_SUCCESS) {
        launch.error = error;
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
