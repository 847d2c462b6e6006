#pragma once
// Drives the real main window in-process, with an in-memory registry and a recording notification area.

#include "fakes/registry_fake.h"
#include "fakes/switch_fakes.h"
#include "ui/main_window.h"
#include "ui/resource.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <set>
#include <string>
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

// The controls of the viewers named in missing are not registered; everything else is.
class FakeControlProbe : public InstallationProbe {
public:
    ServerViews InprocServer(std::string_view clsid) override {
        for (const ViewerRecord &viewer : Viewers())
            if (missing.contains(viewer.displayName) && (viewer.vrmlClsid == clsid || viewer.x3dClsid == clsid))
                return {};
        return {true, true};
    }
    bool ProgIdExists(std::string_view) override { return true; }
    std::set<std::string_view> missing;
};

class WindowTest : public ::testing::Test {
protected:
    void TearDown() override {
        window.reset();
        Pump();
    }

    // Creates the window and runs the load handler, with ".wrl" holding wrl (or missing).
    void Start(std::optional<std::string> wrl = "Octaga.Octaga.wrl") {
        if (wrl) registry.SetText("HKEY_CLASSES_ROOT\\.wrl\\", *wrl);
        window = std::make_unique<MainWindow>(
            MainWindow::Services{registry, realReader ? *realReader : registry, tray, backup, shell,
                                 realElevation ? *realElevation : elevation, probe, userDefaults, switchLock,
                                 lockWaitMilliseconds});
        ASSERT_TRUE(window->Create(GetModuleHandleW(nullptr)));
        window->OnLoad();
        Pump();
    }

    void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quitPosted = true;
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    HWND Hwnd() const { return window->Handle(); }
    HWND Control(int id) const { return GetDlgItem(Hwnd(), id); }
    void Command(int id) {
        SendMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
        Pump();
    }
    void Click(int buttonId) {
        SendMessageW(Control(buttonId), BM_CLICK, 0, 0);
        Pump();
    }
    std::wstring Text(HWND hwnd) const {
        wchar_t text[512] = {};
        GetWindowTextW(hwnd, text, 512);
        return text;
    }
    std::wstring StatusText() const { return Text(Control(IDC_TEXT1)); }
    bool Checked(UINT id) { return window->Menu().IsChecked(id); }
    bool Visible(UINT id) { return window->Menu().IsVisible(id); }
    std::vector<UINT> CheckedViewerItems() {
        std::vector<UINT> checked;
        for (UINT id = IDM_MCORTONA; id <= IDM_MFLUX; ++id)
            if (Checked(id)) checked.push_back(id);
        return checked;
    }
    bool Shown() const { return IsWindowVisible(Hwnd()); }

    FakeRegistry registry;
    FakeBackupStore backup;
    RecordingNotifier shell;
    FakeNotificationArea tray;
    FakeElevation elevation;
    Elevation *realElevation = nullptr; // used instead of the fake when set
    RegistryReader *realReader = nullptr; // likewise, for what the window reads
    FakeControlProbe probe;
    FakeUserDefaults userDefaults;
    // The real lock under a name of the tests' own, so that no real switch meets them.
    static constexpr wchar_t kTestLockName[] = L"Global\\Quelvo.WindowTests.Lock";
    Win32SwitchLock switchLock{kTestLockName};
    std::uint32_t lockWaitMilliseconds = 300;
    std::unique_ptr<MainWindow> window;
    bool quitPosted = false;
};

} // namespace quelvo::test
