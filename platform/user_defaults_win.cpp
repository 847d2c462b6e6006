#include "user_defaults_win.h"

#include "system_facts_win.h"
#include "text_win.h"

#include <shellapi.h>

namespace quelvo {

DefaultsPage PageFor(WindowsVersion version) {
    if (version.major >= 10) return DefaultsPage::DefaultApps;
    if (version.major == 6 && version.minor >= 2) return DefaultsPage::DefaultPrograms;
    return DefaultsPage::None;
}

WindowsVersion Win32UserDefaults::Version() {
    return RunningWindowsVersion();
}

DWORD Win32UserDefaults::Open(DefaultsPage page) {
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.nShow = SW_SHOWNORMAL;
    if (page == DefaultsPage::DefaultApps) {
        info.lpFile = L"ms-settings:defaultapps";
    } else if (page == DefaultsPage::DefaultPrograms) {
        info.lpFile = L"control.exe";
        info.lpParameters = L"/name Microsoft.DefaultPrograms /page pageDefaultProgram";
    } else {
        return ERROR_NOT_SUPPORTED;
    }
    return ShellExecuteExW(&info) ? ERROR_SUCCESS : GetLastError();
}

DWORD Win32UserDefaults::ClearChoice(std::string_view extension) {
    const std::wstring key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\" +
                             Widen(extension) + L"\\UserChoice";
    const LSTATUS status = RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : static_cast<DWORD>(status);
}

} // namespace quelvo
