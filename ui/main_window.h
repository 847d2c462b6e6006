#pragma once
// The main window Command2: seven viewer buttons, the status box Text1 and the "Paramétres" menu. Its state
// lives in this object, reached from the window through GWLP_USERDATA.

#include "about_window.h"
#include "core/viewer_display.h"
#include "design.h"
#include "elevated_switch.h"
#include "hiding_report.h"
#include "core/backup_store.h"
#include "platform/elevation_win.h"
#include "platform/notification_area_win.h"
#include "core/registry.h"
#include "core/shell_notifier.h"
#include "platform/switch_lock_win.h"
#include "platform/unique_handle_win.h"
#include "platform/user_defaults_win.h"
#include "core/installation_probe.h"
#include "settings_menu.h"
#include "tray/notification_icon.h"
#include "tray/window_modes.h"

#include <windows.h>

#include <array>
#include <optional>

namespace quelvo {

// Posted to the window itself.
inline constexpr UINT kElevatedSwitchDone = WM_APP + 1;
inline constexpr UINT kSwitchFollowUp = WM_APP + 4; // what can wait after a switch: the shell notice, what hides

// Stands in for the shell during a switch: the notice, dear under Wine, waits for the posted follow-up so that
// the status box shows the new viewer first.
class DeferredShellNotice : public ShellNotifier {
public:
    void AssociationsChanged() override { pending = true; }
    bool pending = false;
};

class MainWindow : public ViewerDisplay, private ModeMenu {
public:
    struct Services {
        RegistryWriter &registryWriter;
        RegistryReader &registryReader;
        NotificationArea &notificationArea;
        BackupStore &machineBackup;
        ShellNotifier &shell;
        Elevation &elevation;
        InstallationProbe &controlProbe;
        UserDefaults &userDefaults;
        Win32SwitchLock &switchLock; // around the machine's writes
        std::uint32_t lockWaitMilliseconds = kDefaultLockWaitSeconds * 1000;
        BackupStore *userBackup = nullptr; // kept before a per-user switch; none without it
    };

    explicit MainWindow(Services services)
        : services_(services), icon_(services.notificationArea), modes_(icon_, *this),
          elevatedSwitch_(services.elevation) {}
    MainWindow(const MainWindow &) = delete;
    MainWindow &operator=(const MainWindow &) = delete;
    ~MainWindow() override;

    // Created hidden; the load handler shows it.
    bool Create(HINSTANCE instance);
    void OnLoad();
    HWND Handle() const { return hwnd_; }
    SettingsMenu &Menu() { return menu_; }
    const AboutWindow &About() const { return about_; }
    const IconData &Icon() const { return icon_.Data(); }
    HWND Tooltips() const { return tooltips_; }
    // Dialog navigation (Tab between controls) for the message loop.
    bool PreTranslate(MSG &message);
    // False once the program has ended: the window and the about window are gone.
    bool Running() const { return hwnd_ || about_.IsOpen(); }

    // Commands, each the click operation of a button or menu item.
    void ViewerButtonClick(const ViewerRecord &viewer);
    void TrayCommand();
    void RestoreCommand();
    void AlwaysOnTopCommand();
    void QuitCommand();
    void AboutCommand();

    void OnIconCallback(UINT mouseMessage) { modes_.OnIconCallback(mouseMessage); }
    // True when the close is refused.
    bool OnCloseRequest() { return modes_.HideOnClose(); }

    void SetStatusText(std::string_view text) override;
    void SetViewerChecked(const ViewerRecord &viewer, bool checked) override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnCreate(HWND hwnd, LPCREATESTRUCTW create);
    void OnCommand(int id);
    void OnClose();
    void OnDestroy();
    static void OnGetMinMaxInfo(MINMAXINFO *info, UINT dpi);
    void OnDpiChanged(UINT dpi, const RECT &suggested);
    void OnEndSession(bool ending);
    void OnActivate(UINT state, bool minimized);
    void OnShowWindow(bool shown);
    void RememberFocus();
    void RestoreFocus();
    void OnElevatedSwitchDone();
    void OnSwitchFollowUp();
    void FlushShellNotice();

    void LoadResources(HINSTANCE instance);
    void LoadPicturesForDpi();
    void ShowPictures();
    void CreateControls();
    void FitFont();
    void AttachMenuBitmap();
    void EndProgram();
    void OnAboutClosed();
    HWND FirstTabStop() const;
    SwitchOutcome Switch(const ViewerRecord &viewer, Scope scope, bool withoutBackup = false);
    std::optional<SwitchOutcome> SwitchMachineLocked(const ViewerRecord &viewer, bool withoutBackup = false);
    void HandleRefusedSwitch(const ViewerRecord &viewer, const SwitchOutcome &outcome);
    void SwitchForMe(const ViewerRecord &viewer);
    void SwitchAsAdministrator(const ViewerRecord &viewer, bool withoutBackup = false);
    void ReportMovedAside(const SwitchOutcome &outcome);
    void PostFollowUp(const ViewerRecord *checkHiding);
    void ReportWhatHides(const ViewerRecord &viewer);
    UserHiders FindUserHiders();
    int Report(const std::wstring &text, UINT flags);
    int Ask(const Choice &choice);

    // ModeMenu
    void ShowModeChecked(bool trayMode) override;
    void OfferRestore(bool offered) override;
    HMENU PopupMenu() override { return menu_.DropDown(); }
    void RunCommand(UINT id) override { OnCommand(static_cast<int>(id)); }

    Services services_;
    HWND hwnd_ = nullptr;
    UINT dpi_ = 96;
    SettingsMenu menu_;
    HMENU menuBarHandle_ = nullptr;
    HMENU dropDownHandle_ = nullptr;
    UniqueGdiObject font_;
    std::array<UniqueGdiObject, 7> badges_;
    UniqueGdiObject imageList1Bitmap_; // the menu-item bitmap
    UniqueIcon windowIcon_;
    UniqueIcon smallIcon_;
    UniqueIcon image1Icon_;
    NotificationIcon icon_;
    WindowModes modes_;
    ElevatedSwitch elevatedSwitch_;
    const ViewerRecord *elevatedViewer_ = nullptr;
    DeferredShellNotice deferredNotice_;
    const ViewerRecord *followUpViewer_ = nullptr; // the last machine switch that wrote every value, until checked
    bool followUpPosted_ = false;
    bool elevatedWithoutBackup_ = false;
    bool reportOpen_ = false;
    HWND focusedControl_ = nullptr;
    HWND tooltips_ = nullptr;
    UINT taskbarCreatedMessage_ = 0;
    AboutWindow about_;
};

// The design in twips, for checks at every DPI: the controls and the client area.
std::span<const ControlDesign> MainWindowDesign();
SIZE MainWindowClientTwips();

// The registered window class name; also what tests and a second instance look for.
inline constexpr wchar_t kMainWindowClass[] = L"QuelvoMainWindow";

} // namespace quelvo
