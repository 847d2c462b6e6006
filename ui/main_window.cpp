#include "main_window.h"

#include "accessible_name.h"
#include "core/detection.h"
#include "core/switch.h"
#include "platform/dpi_win.h"
#include "platform/message_filter_win.h"
#include "platform/text_win.h"
#include "resource.h"
#include "texts.h"
#include "viewer_tips.h"
#include "window_messages.h"

#include <windowsx.h>

#include <utility>

namespace quelvo {
namespace {

constexpr WindowFrame kFrame = {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, true,
                                kMainWindowClientTwips};

// The viewer whose button or menu item has this ID.
const ViewerRecord *ViewerOfCommand(int id) {
    for (std::size_t i = 0; i < kViewerCount; ++i)
        if (id == ViewerButtonId(i) || id == static_cast<int>(ViewerMenuId(i))) return &Viewers()[i];
    return nullptr;
}

} // namespace

MainWindow::MainWindow(Services services)
    : services_(services), frame_(kFrame), focus_(kRestoreFocus), icon_(services.notificationArea, LoadAnsiText(IDS_TRAY_TIP)),
      modes_(icon_, *this), switchFlow_(services_, *this),
      detectionWatch_({kUserDetectionPath, kMachineDetectionPath}) {}

MainWindow::~MainWindow() {
    about_.OnClosed(nullptr);
    about_.Destroy();
    if (hwnd_) DestroyWindow(hwnd_);
}

bool MainWindow::Create(HINSTANCE instance) {
    HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAINMENU));
    if (!frame_.Create(instance, kMainWindowClass, WindowProc, LoadText(IDS_QUELVO).c_str(), menu, this)) {
        DestroyMenu(menu); // a window that exists owns its menu; this one never came to be
        return false;
    }
    about_.OnClosed([this] { OnAboutClosed(); });
    return true;
}

void MainWindow::OnLoad() {
    controls_.AttachMenuBitmap();
    detectionWatch_.Arm(); // before the first detection, so that no change after it goes unseen
    if (const ViewerRecord *viewer = DetectCurrentViewer(services_.registryReader)) {
        SetStatusText(viewer->displayName);
        SetViewerChecked(*viewer, true);
    }
    TrayCommand();
    RestoreCommand();
}

void MainWindow::OnDetectionChanged() {
    detectionWatch_.Arm();
    if (hwnd_) ShowDetectedViewer(services_.registryReader, *this);
}

bool MainWindow::PreTranslate(MSG &message) {
    return hwnd_ && IsDialogMessageW(hwnd_, &message);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (auto *self = AttachedState<MainWindow>(hwnd, message, lParam))
        return self->Receive(hwnd, message, wParam, lParam);
    if (message == WM_GETMINMAXINFO) return OnEarlyMinMaxInfo(hwnd, reinterpret_cast<MINMAXINFO *>(lParam));
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT MainWindow::Receive(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = HandleMessage(hwnd, message, wParam, lParam);
    // Ended inside a menu's or a move's loop, which may have swallowed the quit message: posted again on the way
    // out of each handler, the last time outside every such loop.
    if (!Running()) PostQuitMessage(0);
    return result;
}

LRESULT MainWindow::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        hwnd_ = hwnd;
        break;
    case WM_CREATE:
        return OnCreate(hwnd) ? 0 : -1;
    case WM_COMMAND:
        OnCommand(GET_WM_COMMAND_ID(wParam, lParam));
        return 0;
    // The notification area reports on the icon with WM_MOUSEMOVE, the mouse message in lParam's low word.
    case WM_MOUSEMOVE:
        OnIconCallback(LOWORD(lParam));
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        OnEndSession(wParam != FALSE);
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT *>(lParam));
        return 0;
    case WM_GETDPISCALEDSIZE:
        return frame_.OnGetDpiScaledSize(wParam, lParam);
    case WM_GETMINMAXINFO:
        frame_.OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO *>(lParam));
        return 0;
    case WM_ACTIVATE:
        focus_.OnActivate(LOWORD(wParam), HIWORD(wParam) != 0);
        return 0;
    case WM_SHOWWINDOW:
        OnShowWindow(wParam != FALSE);
        return 0;
    case kRestoreFocus:
        focus_.OnRestoreMessage();
        return 0;
    case kElevatedSwitchDone:
        switchFlow_.OnElevatedSwitchDone();
        return 0;
    case kSwitchFollowUp:
        switchFlow_.OnFollowUp();
        return 0;
    case kCreateTooltips:
        OnCreateTooltips();
        return 0;
    }
    if (message == taskbarCreatedMessage_ && message != 0) {
        modes_.OnTaskbarCreated();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

BOOL MainWindow::OnCreate(HWND hwnd) {
    hwnd_ = hwnd;
    frame_.Attach(hwnd);
    controls_.Create(hwnd, frame_.Dpi());
    frame_.ShowIcons();
    focus_.Attach(hwnd);
    switchFlow_.Attach(hwnd);
    menu_ = SettingsMenu(GetMenu(hwnd));
    menu_.SetVisible(IDM_MOUVRIR, false);
    menu_.SetVisible(IDM_MTIR2, false);
    taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");
    // Sent by the shell with normal rights; an elevated window would never hear of a restarted shell otherwise.
    AllowMessageFromLowerRights(hwnd, taskbarCreatedMessage_);
    modes_.Attach(hwnd);
    SetAccessibleName(GetDlgItem(hwnd, IDC_TEXT1), IDS_FRAME1);
    return TRUE;
}

void MainWindow::OnDpiChanged(UINT dpi, const RECT &suggested) {
    frame_.OnDpiChanged(dpi, suggested);
    controls_.OnDpiChanged(dpi);
    frame_.ShowIcons();
}

// The first message of all comes before the window has its state.
LRESULT MainWindow::OnEarlyMinMaxInfo(HWND hwnd, MINMAXINFO *info) {
    kFrame.OnGetMinMaxInfo(WindowDpi(hwnd), info);
    return 0;
}

void MainWindow::OnCommand(int id) {
    if (const ViewerRecord *viewer = ViewerOfCommand(id)) return ViewerButtonClick(*viewer);
    switch (id) {
    case IDM_MOUVRIR:
        RestoreCommand();
        break;
    case IDM_MSYSTRAY:
        TrayCommand();
        break;
    case IDM_MVISIBLE:
        AlwaysOnTopCommand();
        break;
    case IDM_MQUITTER:
        QuitCommand();
        break;
    case IDM_PROPOS:
        AboutCommand();
        break;
    }
}

void MainWindow::AboutCommand() {
    about_.Show(frame_.Instance());
}

void MainWindow::SetStatusText(std::string_view text) {
    SetDlgItemTextW(hwnd_, IDC_TEXT1, Widen(text).c_str());
}

void MainWindow::SetViewerChecked(const ViewerRecord &viewer, bool checked) {
    menu_.SetChecked(ViewerMenuId(ViewerIndex(viewer)), checked);
}

void MainWindow::TrayCommand() {
    const auto picture = reinterpret_cast<HICON>(SendDlgItemMessageW(hwnd_, IDC_IMAGE1, STM_GETICON, 0, 0));
    modes_.EnterTrayMode(picture);
}

void MainWindow::RestoreCommand() {
    modes_.Restore();
}

void MainWindow::AlwaysOnTopCommand() {
    modes_.EnterAlwaysOnTop();
}

void MainWindow::ShowModeChecked(bool trayMode) {
    menu_.SetChecked(IDM_MSYSTRAY, trayMode);
    menu_.SetChecked(IDM_MVISIBLE, !trayMode);
    if (trayMode) menu_.SetVisible(IDM_MENU, true);
}

void MainWindow::OfferRestore(bool offered) {
    menu_.SetVisible(IDM_MOUVRIR, offered);
    menu_.SetVisible(IDM_MTIR2, offered);
}

void MainWindow::OnClose() {
    if (!OnCloseRequest()) DestroyWindow(hwnd_);
}

void MainWindow::QuitCommand() {
    EndProgram();
}

void MainWindow::OnEndSession(bool ending) {
    // The session's end is never refused; the icon goes with it.
    if (ending) EndProgram();
}

void MainWindow::OnShowWindow(bool shown) {
    focus_.OnShowWindow(shown);
    // The tooltips live only while the window is shown: they have no owner to hide with (see CreateViewerTips), and
    // under Wine, left behind a hidden window, they held up the icon's clicks for seconds.
    if (!shown && tooltips_) DestroyWindow(std::exchange(tooltips_, nullptr));
    if (shown) PostMessageW(hwnd_, kCreateTooltips, 0, 0);
}

void MainWindow::OnCreateTooltips() {
    // After the window is shown, so that they cost the start nothing.
    if (!tooltips_ && IsWindowVisible(hwnd_)) tooltips_ = CreateViewerTips(hwnd_, services_.registryReader, services_.system);
}

void MainWindow::OnDestroy() {
    switchFlow_.OnWindowDestroyed();
    if (tooltips_) DestroyWindow(std::exchange(tooltips_, nullptr));
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    if (!about_.IsOpen()) PostQuitMessage(0);
}

void MainWindow::OnAboutClosed() {
    if (!hwnd_) PostQuitMessage(0);
}

void MainWindow::EndProgram() {
    // A menu's or a move's own loop may swallow a quit message: both are ended, and the end is the window's
    // destruction, which the message loop sees whatever loop ran.
    EndMenu();
    SendMessageW(hwnd_, WM_CANCELMODE, 0, 0);
    icon_.Remove(hwnd_);
    about_.Destroy();
    DestroyWindow(hwnd_);
}

} // namespace quelvo
