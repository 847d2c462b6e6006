#pragma once
// The window's services as the tests choose them: a recording notification area, a token and UAC policy, the
// Windows version and the viewer controls' registration.

#include "ui/main_window.h"

#include <windows.h>

#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace quelvo::test {

class FakeNotificationArea : public NotificationArea {
public:
    struct Call {
        DWORD message;
        IconData icon;
    };
    bool Add(const IconData &icon) override {
        return Record(NIM_ADD, icon, addSucceeds && !present) && (present = true);
    }
    bool Modify(const IconData &icon) override { return Record(NIM_MODIFY, icon, present); }
    bool Delete(const IconData &icon) override {
        const bool existed = present;
        present = false;
        return Record(NIM_DELETE, icon, existed);
    }
    int Count(DWORD message) const {
        int count = 0;
        for (const Call &call : calls)
            count += call.message == message;
        return count;
    }

    bool addSucceeds = true; // false: a machine without a notification area
    bool present = false;
    std::vector<Call> calls;

private:
    bool Record(DWORD message, const IconData &icon, bool result) {
        calls.push_back({message, icon});
        return result;
    }
};

inline Rights TokenRights(TOKEN_ELEVATION_TYPE type, bool administrator, std::optional<DWORD> enableLua = {},
                          std::optional<DWORD> consentPromptBehaviorUser = {}) {
    return {type, administrator, enableLua, consentPromptBehaviorUser};
}

// The token, the UAC policy and quelvo-cli.exe's presence as the tests choose; the "process" is an event that the
// test sets when it wants the command to end.
class FakeElevation : public Elevation {
public:
    Rights ReadRights() override { return rights; }
    bool ProgramExists(const std::wstring &) override { return commandLinePresent; }
    ElevatedLaunch RunAsAdministrator(HWND, const std::wstring &program, const std::wstring &parameters) override {
        launches.push_back({program, parameters});
        ElevatedLaunch launch;
        launch.error = launchError;
        if (launchError != ERROR_SUCCESS) return launch;
        running.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        DuplicateHandle(GetCurrentProcess(), running.Get(), GetCurrentProcess(), launch.process.Receive(), 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
        return launch;
    }
    DWORD ExitCodeOf(HANDLE) override { return exitCode; }
    void End(DWORD code) {
        exitCode = code;
        SetEvent(running.Get());
    }

    Rights rights = TokenRights(TokenElevationTypeFull, true); // as Wine's token reads
    bool commandLinePresent = true;
    DWORD launchError = ERROR_SUCCESS;
    DWORD exitCode = STILL_ACTIVE;
    UniqueKernelHandle running;
    std::vector<std::pair<std::wstring, std::wstring>> launches;
};

// A Windows version as the tests choose, with the pages it opens and the choices it clears recorded.
class FakeUserDefaults : public UserDefaults {
public:
    WindowsVersion Version() override { return version; }
    DWORD Open(DefaultsPage page) override {
        opened.push_back(page);
        return openError;
    }
    DWORD ClearChoice(std::string_view extension) override {
        cleared.emplace_back(extension);
        return ERROR_SUCCESS;
    }
    WindowsVersion version{10, 0};
    DWORD openError = ERROR_SUCCESS;
    std::vector<DefaultsPage> opened;
    std::vector<std::string> cleared;
};

} // namespace quelvo::test
