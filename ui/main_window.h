#pragma once
// The main window Command2: a button per viewer, the status box Text1 and the "Paramétres" menu. Its state
// lives in this object, reached from the window through GWLP_USERDATA.

#include "about_window.h"
#include "core/viewer_display.h"
#include "dpi_window.h"
#include "focus_memory.h"
#include "main_controls.h"
#include "settings_menu.h"
#include "switch_flow.h"
#include "tray/notification_icon.h"
#include "tray/window_modes.h"
#include "platform/registry_watch_win.h"

#include <windows.h>

namespace quelvo {

class MainWindow : public ViewerDisplay, private ModeMenu {
public:
    using Services = WindowServices;

    explicit MainWindow(Services services);
    MainWindow(const MainWindow &) = delete;
    MainWindow &operator=(const MainWindow &) = delete;
    ~MainWindow() override;

    // Created hidden; the load handler shows it.
    bool Create(HINSTANCE instance);
    void OnLoad();
    HWND Handle() const { return hwnd_; }
    SettingsMenu &Menu() { return menu_; }
    HWND Tooltips() const { return tooltips_; }
    // Dialog navigation (Tab between controls) for the message loop.
    bool PreTranslate(MSG &message);
    // False once the program has ended: the window and the about window are gone.
    bool Running() const { return hwnd_ || about_.IsOpen(); }

    // Commands, each the click operation of a button or menu item.
    void ViewerButtonClick(const ViewerRecord &viewer) { switchFlow_.Click(viewer); }
    void TrayCommand();
    void RestoreCommand();
    void AlwaysOnTopCommand();
    void QuitCommand();
    void AboutCommand();

    void OnIconCallback(UINT mouseMessage) { modes_.OnIconCallback(mouseMessage); }
    // True when the close is refused.
    bool OnCloseRequest() { return modes_.HideOnClose(); }

    // What detection reads, changed elsewhere (the command line, another administrator, an installer): watched
    // again, then shown as after a click. Null while nothing is watched.
    HANDLE DetectionChange() const { return detectionWatch_.Event(); }
    void OnDetectionChanged();

    void SetStatusText(std::string_view text) override;
    void SetViewerChecked(const ViewerRecord &viewer, bool checked) override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT OnEarlyMinMaxInfo(HWND hwnd, MINMAXINFO *info);
    LRESULT Receive(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnCreate(HWND hwnd);
    void OnCommand(int id);
    void OnClose();
    void OnDestroy();
    void OnDpiChanged(UINT dpi, const RECT &suggested);
    void OnEndSession(bool ending);
    void OnShowWindow(bool shown);
    void OnCreateTooltips();

    void EndProgram();
    void OnAboutClosed();

    // ModeMenu
    void ShowModeChecked(bool trayMode) override;
    void OfferRestore(bool offered) override;
    HMENU PopupMenu() override { return menu_.DropDown(); }
    void RunCommand(UINT id) override { OnCommand(static_cast<int>(id)); }

    Services services_;
    HWND hwnd_ = nullptr;
    DpiWindow frame_;
    MainControls controls_;
    FocusMemory focus_;
    SettingsMenu menu_;
    NotificationIcon icon_;
    WindowModes modes_;
    SwitchFlow switchFlow_;
    HWND tooltips_ = nullptr;
    UINT taskbarCreatedMessage_ = 0;
    AboutWindow about_;
    RegistryWatch detectionWatch_;
};

// The registered window class name; also what tests and a second instance look for.
inline constexpr wchar_t kMainWindowClass[] = L"QuelvoMainWindow";

} // namespace quelvo
