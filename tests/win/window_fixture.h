#pragma once
// Drives the real main window in-process, with an in-memory registry and a recording notification area.

#include "fakes/registry_fake.h"
#include "fakes/system_facts_fake.h"
#include "fakes/switch_fakes.h"
#include "fakes/window_fakes.h"
#include "ui/main_window.h"
#include "ui/resource.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quelvo::test {

class WindowTest : public ::testing::Test {
protected:
    void TearDown() override {
        window.reset();
        Pump();
    }

    // Creates the window and runs the load handler, with ".wrl" holding wrl (or missing).
    void Start(std::optional<std::string> wrl = "Octaga.Octaga.wrl") {
        if (wrl) registry.SetText("HKEY_CLASSES_ROOT\\.wrl\\", *wrl);
        for (const ViewerRecord &viewer : Viewers())
            if (!unregistered.contains(viewer.displayName)) RegisterControls(registry, system, viewer);
        window = std::make_unique<MainWindow>(
            MainWindow::Services{registry, realReader ? *realReader : registry, tray, backup, shell,
                                 realElevation ? *realElevation : elevation, system, userDefaults, switchLock,
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
    FakeSystem system;
    std::set<std::string_view> unregistered; // viewers whose controls Start leaves unregistered
    FakeUserDefaults userDefaults;
    // The real lock under a name of the tests' own, so that no real switch meets them.
    static constexpr wchar_t kTestLockName[] = L"Global\\Quelvo.WindowTests.Lock";
    Win32SwitchLock switchLock{kTestLockName};
    std::uint32_t lockWaitMilliseconds = 300;
    std::unique_ptr<MainWindow> window;
    bool quitPosted = false;
};

} // namespace quelvo::test
