#pragma once
// Where this user's own default programs are changed, which depends on the Windows version: an "Ouvrir avec"
// choice carries a hash from Windows 8 on, which no program may set, so the person is sent to the page that can.

#include "core/system_facts.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace quelvo {

enum class DefaultsPage {
    DefaultApps,     // Windows 10 and later: Settings, Default apps
    DefaultPrograms, // Windows 8 and 8.1: the Control Panel's default programs
    None,            // Windows 7 and before: the choice has no hash and can be cleared
};
DefaultsPage PageFor(WindowsVersion version);

// What is started for a page: a settings address, or Control Panel by its full path in the system folder; an empty
// file for None.
struct PageLaunch {
    std::wstring file;
    std::wstring parameters;
};
PageLaunch LaunchFor(DefaultsPage page);

class UserDefaults {
public:
    virtual ~UserDefaults() = default;
    virtual WindowsVersion Version() = 0;
    // The system's error code, ERROR_SUCCESS once the page was asked for.
    virtual DWORD Open(DefaultsPage page) = 0;
    // Deletes HKCU\...\Explorer\FileExts\<extension>\UserChoice.
    virtual DWORD ClearChoice(std::string_view extension) = 0;
};

class Win32UserDefaults : public UserDefaults {
public:
    WindowsVersion Version() override;
    DWORD Open(DefaultsPage page) override;
    DWORD ClearChoice(std::string_view extension) override;
};

} // namespace quelvo
