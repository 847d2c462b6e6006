#pragma once
// The main window Command2: seven viewer buttons, the status box Text1 and the "Paramétres" menu. Its state
// lives in this object, reached from the window through GWLP_USERDATA.

#include "about_window.h"
#include "core/viewer_display.h"
#include "platform/backup_store.h"
#include "platform/notification_area_win.h"
#include "platform/registry.h"
#include "platform/shell_notifier.h"
#include "platform/unique_handle_win.h"
#include "settings_menu.h"

#include <windows.h>

#include <array>

namespace quelvo {

class MainWindow : public ViewerDisplay {
public:
    struct Services {
        RegistryWriter &registryWriter;
        RegistryReader &registryReader;
        NotificationArea &notificationArea;
        BackupStore &machineBackup;
        ShellNotifier &shell;
    };

    explicit MainWindow(Services services) : services_(services) {}
    MainWindow(const MainWindow &) = delete;
    MainWindow &operator=(const MainWindow &) = delete;
    ~MainWindow() override;

    // Created hidden; the load handler shows it.
    bool Create(HINSTANCE instance);
    void OnLoad();
    HWND Handle() const { return hwnd_; }
    SettingsMenu &Menu() { return menu_; }
    const AboutWindow &About() const { return about_; }
    const IconData &Icon() const { return iconData_; }
    // Dialog navigation (Tab between controls) for the message loop.
    bool PreTranslate(MSG &message);

    // Commands, each the click operation of a button or menu item.
    void ViewerButtonClick(const ViewerRecord &viewer);
    void TrayCommand();
    void RestoreCommand();
    void AlwaysOnTopCommand();
    void QuitCommand();
    void AboutCommand();

    void OnIconCallback(UINT mouseMessage);
    // True when the close is refused.
    bool OnCloseRequest();

    void SetStatusText(std::string_view text) override;
    void SetViewerChecked(const ViewerRecord &viewer, bool checked) override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnCreate(HWND hwnd, LPCREATESTRUCTW create);
    void OnCommand(int id);
    void OnClose();
    void OnDestroy();
    static void OnGetMinMaxInfo(MINMAXINFO *info);
    void OnEndSession(bool ending);
    void OnTaskbarCreated();

    void LoadResources(HINSTANCE instance);
    void CreateControls();
    void AttachMenuBitmap();
    void ShowPopupMenu();
    bool IconIsPresent();
    void RemoveIcon();
    void EndProgram();
    void OnAboutClosed();

    Services services_;
    HWND hwnd_ = nullptr;
    SettingsMenu menu_;
    HMENU menuBarHandle_ = nullptr;
    HMENU dropDownHandle_ = nullptr;
    UniqueGdiObject font_;
    std::array<UniqueGdiObject, 7> badges_;
    UniqueGdiObject imageList1Bitmap_; // the menu-item bitmap
    UniqueIcon windowIcon_;
    UniqueIcon smallIcon_;
    UniqueIcon image1Icon_;
    IconData iconData_ = {};
    bool trayBusy_ = false;
    UINT taskbarCreatedMessage_ = 0;
    AboutWindow about_;
};

// The registered window class name; also what tests and a second instance look for.
inline constexpr wchar_t kMainWindowClass[] = L"QuelvoMainWindow";

} // namespace quelvo
