#include "user_defaults_win.h"

#include "system_facts_win.h"
#include "shell_execute_win.h"
#include "text_win.h"

namespace quelvo {

DefaultsPage PageFor(WindowsVersion version) {
    if (version.major >= 10) return DefaultsPage::DefaultApps;
    if (version.major == 6 && version.minor >= 2) return DefaultsPage::DefaultPrograms;
    return DefaultsPage::None;
}

WindowsVersion Win32UserDefaults::Version() {
    return RunningWindowsVersion();
}

PageLaunch LaunchFor(DefaultsPage page) {
    if (page == DefaultsPage::DefaultApps) return {L"ms-settings:defaultapps", {}};
    if (page == DefaultsPage::DefaultPrograms)
        return {SystemProgram(L"control.exe"), L"/name Microsoft.DefaultPrograms /page pageDefaultProgram"};
    return {};
}

DWORD Win32UserDefaults::Open(DefaultsPage page) {
    const PageLaunch launch = LaunchFor(page);
    if (launch.file.empty()) return ERROR_NOT_SUPPORTED;
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.nShow = SW_SHOWNORMAL;
    info.lpFile = launch.file.c_str();
    info.lpParameters = launch.parameters.empty() ? nullptr : launch.parameters.c_str();
    return ShellExecuteWithCom(info);
}

DWORD Win32UserDefaults::ClearChoice(std::string_view extension) {
    const std::wstring key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\" +
                             Widen(extension) + L"\\UserChoice";
    const LSTATUS status = RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : static_cast<DWORD>(status);
}

} // namespace quelvo
