#pragma once
// Administrator rights on demand: what this process's token and the PC's UAC policy allow, and starting another
// program with them through the shell's "runas" verb, which shows the consent or the credentials prompt.

#include "unique_handle_win.h"

#include <windows.h>

#include <optional>
#include <string>

namespace quelvo {

struct ElevatedLaunch {
    UniqueKernelHandle process; // signalled when the program ends
    DWORD error = ERROR_SUCCESS; // ERROR_CANCELLED when the user declined the prompt
};

// What decides the answer to a refused write. A standard user's token and an administrator's with UAC off both
// read TokenElevationTypeDefault: membership of Administrators tells them apart.
struct Rights {
    TOKEN_ELEVATION_TYPE elevationType = TokenElevationTypeDefault;
    bool administrator = false; // Administrators enabled in this token (deny-only in a limited one)
    // HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Policies\System, absent where the value is missing.
    std::optional<DWORD> enableLua;
    std::optional<DWORD> consentPromptBehaviorUser;
    // Already running with administrator rights: elevated, or an administrator with UAC off.
    bool AlreadyAdministrator() const {
        return elevationType == TokenElevationTypeFull || (elevationType == TokenElevationTypeDefault && administrator);
    }
};

class Elevation {
public:
    virtual ~Elevation() = default;
    virtual Rights ReadRights() = 0;
    virtual bool ProgramExists(const std::wstring &program) = 0;
    virtual ElevatedLaunch RunAsAdministrator(HWND owner, const std::wstring &program,
                                              const std::wstring &parameters) = 0;
    // STILL_ACTIVE while it runs.
    virtual DWORD ExitCodeOf(HANDLE process) = 0;
};

class ShellElevation : public Elevation {
public:
    Rights ReadRights() override;
    bool ProgramExists(const std::wstring &program) override;
    ElevatedLaunch RunAsAdministrator(HWND owner, const std::wstring &program,
                                      const std::wstring &parameters) override;
    DWORD ExitCodeOf(HANDLE process) override;
};

} // namespace quelvo
