#pragma once
// Administrator rights on demand: whether this process has them, and starting another program with them through
// the shell's "runas" verb, which shows the consent prompt.

#include "unique_handle_win.h"

#include <windows.h>

#include <string>

namespace quelvo {

struct ElevatedLaunch {
    UniqueKernelHandle process; // signalled when the program ends
    DWORD error = ERROR_SUCCESS; // ERROR_CANCELLED when the user declined the prompt
};

class Elevation {
public:
    virtual ~Elevation() = default;
    virtual bool IsElevated() = 0;
    virtual ElevatedLaunch RunAsAdministrator(HWND owner, const std::wstring &program,
                                              const std::wstring &parameters) = 0;
    // STILL_ACTIVE while it runs.
    virtual DWORD ExitCodeOf(HANDLE process) = 0;
};

class ShellElevation : public Elevation {
public:
    bool IsElevated() override;
    ElevatedLaunch RunAsAdministrator(HWND owner, const std::wstring &program,
                                      const std::wstring &parameters) override;
    DWORD ExitCodeOf(HANDLE process) override;
};

} // namespace quelvo
