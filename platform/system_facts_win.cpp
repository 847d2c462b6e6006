#include "system_facts_win.h"

#include "module_export_win.h"
#include "text_win.h"

#include <windows.h>

namespace quelvo {

WindowsVersion RunningWindowsVersion() {
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof info;
    const auto get = ModuleExport<LONG WINAPI(OSVERSIONINFOW *)>(L"ntdll.dll", "RtlGetVersion");
    if (!get || get(&info) != 0) return {};
    // This program is 64-bit, which runs on 64-bit Windows alone.
    return {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber, sizeof(void *) == 8};
}

WindowsVersion Win32SystemFacts::Version() {
    return RunningWindowsVersion();
}

std::string Win32SystemFacts::ExpandEnvironment(std::string_view text) {
    const std::wstring wide = Widen(text);
    std::wstring out(wide.size() + 1, L'\0');
    DWORD length = ExpandEnvironmentStringsW(wide.c_str(), out.data(), static_cast<DWORD>(out.size()));
    if (length > out.size()) {
        out.resize(length);
        length = ExpandEnvironmentStringsW(wide.c_str(), out.data(), length);
    }
    if (length == 0) return std::string(text);
    out.resize(length - 1); // the count includes the terminator
    return Narrow(out);
}

bool Win32SystemFacts::FileExists(std::string_view path) {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace quelvo
