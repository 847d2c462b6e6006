#include "main_window.h"

#include "accessible_name.h"
#include "artwork.h"
#include "core/association.h"
#include "core/detection.h"
#include "core/exit_codes.h"
#include "design.h"
#include "platform/dpi_win.h"
#include "platform/message_filter_win.h"
#include "platform/text_win.h"
#include "resource.h"
#include "switch_report.h"
#include "viewer_tips.h"

#include <windowsx.h>

#include <string>
#include <utility>
#include <vector>

namespace quelvo {
namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr int kClientWidthTwips = 1440;
constexpr int kClientHeightTwips = 4110;
// Posted to the window itself (kElevatedSwitchDone and kSwitchFollowUp: see main_window.h).
constexpr UINT kCreateTooltips = WM_APP + 2;
constexpr UINT kRestoreFocus = WM_APP + 3;

constexpr DWORD kViewerButton = BS_PUSHBUTTON | BS_BITMAP | WS_TABSTOP | WS_CLIPSIBLINGS;

// In tab order, which is also the z-order: Text1 stays above the frame it lies in.
constexpr std::array<ControlDesign, 10> kDesign = {{
    {IDC_COMMAND1, L"BUTTON", kViewerButton, 0, {45, 45, 1365, 510}, L""},
    {IDC_COMMAND3, L"BUTTON", kViewerButton, 0, {45, 575, 1365, 510}, L""},
    {IDC_COMMAND4, L"BUTTON", kViewerButton, 0, {45, 1575, 1365, 510}, L""},
    {IDC_COMMAND5, L"BUTTON", kViewerButton, 0, {45, 2040, 1365, 510}, L""},
    {IDC_COMMAND7, L"BUTTON", kViewerButton, 0, {45, 2530, 1365, 510}, L""},
    {IDC_TEXT1,
     L"EDIT",
     ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP | WS_CLIPSIBLINGS,
     WS_EX_CLIENTEDGE,
     {90, 3720, 1275, 285},
     L""},
    {IDC_FRAME1, L"BUTTON", BS_GROUPBOX | WS_CLIPSIBLINGS, 0, {45, 3560, 1365, 510}, L"En Cours"},
    {IDC_COMMAND6, L"BUTTON", kViewerButton, 0, {45, 1080, 1365, 510}, L""},
    {IDC_COMMAND8, L"BUTTON", kViewerButton, 0, {45, 3040, 1365, 510}, L""},
    // Beyond the client area's right edge: it only holds the icon that the notification area shows.
    {IDC_IMAGE1, L"STATIC", SS_ICON, 0, {3240, 3360, 240, 240}, L""},
}};

// Button and menu IDs follow the catalogue's order.
std::size_t IndexOf(const ViewerRecord &viewer) {
    return static_cast<std::size_t>(&viewer - Viewers().data());
}

const ViewerRecord *ViewerOfCommand(int id) {
    for (int first : {IDC_COMMAND1, IDM_MCORTONA})
        if (id >= first && id < first + static_cast<int>(Viewers().size())) return &Viewers()[id - first];
    return nullptr;
}

SIZE DesignWindowSize(UINT dpi) {
    return WindowSizeForClient(kClientWidthTwips, kClientHeightTwips, kStyle, 0, true, dpi);
}

} // namespace

MainWindow::~MainWindow() {
    about_.OnClosed(nullptr);
    about_.Destroy();
    if (hwnd_) DestroyWindow(hwnd_);
}

bool MainWindow::Create(HINSTANCE instance) {
    RegisterWindowClass(instance, kMainWindowClass, WindowProc);
    const SIZE size = DesignWindowSize(SystemDpi());
    const POINT corner = CentredOnScreen(size);
    HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAINMENU));
    CreateWindowExW(0, kMainWindowClass, L"Quelvo", kStyle, corner.x, corner.y, size.cx, size.cy, nullptr, menu,
                    instance, this);
    if (!hwnd_) {
        DestroyMenu(menu); // a window that exists owns its menu; this one never came to be
        return false;
    }
    about_.OnClosed([this] { OnAboutClosed(); });
    return true;
}

void MainWindow::OnLoad() {
    AttachMenuBitmap();
    if (const ViewerRecord *viewer = DetectCurrentViewer(services_.registryReader)) {
        SetStatusText(viewer->displayName);
        SetViewerChecked(*viewer, true);
    }
    TrayCommand();
    RestoreCommand();
}

bool MainWindow::PreTranslate(MSG &message) {
    return hwnd_ && IsDialogMessageW(hwnd_, &message);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // WM_GETMINMAXINFO comes first of all, before the window has its state: without an answer the system widens
    // the narrow design to its minimum tracking size at creation.
    if (message == WM_GETMINMAXINFO) {
        const auto *attached = reinterpret_cast<const MainWindow *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO *>(lParam), attached ? attached->dpi_ : WindowDpi(hwnd));
        return 0;
    }
    auto *self = AttachedState<MainWindow>(hwnd, message, lParam);
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCCREATE) self->hwnd_ = hwnd;
    if (message == WM_CREATE) return self->OnCreate(hwnd, reinterpret_cast<LPCREATESTRUCTW>(lParam)) ? 0 : -1;
    const LRESULT result = self->HandleMessage(message, wParam, lParam);
    // Ended inside a menu's or a move's loop, which may have swallowed the quit message: posted again on the way
    // out of each handler, the last time outside every such loop.
    if (!self->Running()) PostQuitMessage(0);
    return result;
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
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
    case WM_GETDPISCALEDSIZE: // the design's own size at the new DPI, not the old size scaled and rounded
        *reinterpret_cast<SIZE *>(lParam) = DesignWindowSize(static_cast<UINT>(wParam));
        return TRUE;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam), HIWORD(wParam) != 0);
        return 0;
    case WM_SHOWWINDOW:
        OnShowWindow(wParam != FALSE);
        return 0;
    case kRestoreFocus:
        if (GetActiveWindow() == hwnd_ && !IsChild(hwnd_, GetFocus())) RestoreFocus();
        return 0;
    case kElevatedSwitchDone:
        OnElevatedSwitchDone();
        return 0;
    case kSwitchFollowUp:
        OnSwitchFollowUp();
        return 0;
    case kCreateTooltips:
        // After the window is shown, so that they cost the start nothing.
        if (!tooltips_ && IsWindowVisible(hwnd_))
            tooltips_ = CreateViewerTips(hwnd_, IDC_COMMAND1, services_.controlProbe);
        return 0;
    }
    if (message == taskbarCreatedMessage_ && message != 0) {
        modes_.OnTaskbarCreated();
        return 0;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

BOOL MainWindow::OnCreate(HWND hwnd, LPCREATESTRUCTW create) {
    hwnd_ = hwnd;
    dpi_ = WindowDpi(hwnd);
    if (dpi_ != SystemDpi()) { // created on a screen whose DPI is not the system's
        const SIZE size = DesignWindowSize(dpi_);
        SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    LoadResources(create->hInstance);
    CreateControls();
    menu_ = SettingsMenu(GetMenu(hwnd));
    menu_.SetVisible(IDM_MOUVRIR, false);
    menu_.SetVisible(IDM_MTIR2, false);
    taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");
    // Sent by the shell with normal rights; an elevated window would never hear of a restarted shell otherwise.
    AllowMessageFromLowerRights(hwnd, taskbarCreatedMessage_);
    modes_.Attach(hwnd);
    SetAccessibleName(GetDlgItem(hwnd, IDC_TEXT1), L"En Cours");
    return TRUE;
}

void MainWindow::LoadResources(HINSTANCE instance) {
    image1Icon_.Reset(LoadProgramIcon(instance, NotificationIconSize()));
    LoadPicturesForDpi();
}

void MainWindow::LoadPicturesForDpi() {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
    for (std::size_t i = 0; i < badges_.size(); ++i)
        badges_[i].Reset(LoadBitmapForDpi(instance, IDB_COMMAND1 + static_cast<int>(i), dpi_));
    imageList1Bitmap_.Reset(LoadBitmapForDpi(instance, IDB_POWER, dpi_));
    windowIcon_.Reset(LoadProgramIcon(instance, LargeIconSize(dpi_)));
    smallIcon_.Reset(LoadProgramIcon(instance, SmallIconSize(dpi_)));
}

void MainWindow::ShowPictures() {
    for (std::size_t i = 0; i < badges_.size(); ++i)
        SendDlgItemMessageW(hwnd_, IDC_COMMAND1 + static_cast<int>(i), BM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(badges_[i].Get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(windowIcon_.Get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
}

void MainWindow::CreateControls() {
    quelvo::CreateControls(hwnd_, kDesign, dpi_);
    FitFont();
    ShowPictures();
    // What a screen reader says; a picture button draws only its picture.
    for (std::size_t i = 0; i < Viewers().size(); ++i)
        SetDlgItemTextW(hwnd_, IDC_COMMAND1 + static_cast<int>(i), Widen(Viewers()[i].displayName).c_str());
    SendDlgItemMessageW(hwnd_, IDC_IMAGE1, STM_SETICON, reinterpret_cast<WPARAM>(image1Icon_.Get()), 0);
}

// The captions and, in the status box, every viewer's name.
void MainWindow::FitFont() {
    std::vector<std::wstring> names;
    for (const ViewerRecord &viewer : Viewers())
        names.push_back(Widen(viewer.displayName));
    std::vector<FittedText> texts;
    for (const ControlDesign &control : kDesign)
        if (*control.text) texts.push_back({control.id, control.text});
    for (const std::wstring &name : names)
        texts.push_back({IDC_TEXT1, name.c_str()});
    font_.Reset(CreateFittingFont(hwnd_, dpi_, texts));
    SetControlsFont(hwnd_, kDesign, static_cast<HFONT>(font_.Get()));
}

void MainWindow::OnDpiChanged(UINT dpi, const RECT &suggested) {
    dpi_ = dpi;
    MoveToSuggestedRect(hwnd_, suggested);
    LayOutControls(hwnd_, kDesign, dpi_);
    FitFont();
    LoadPicturesForDpi();
    ShowPictures();
    if (dropDownHandle_)
        SetMenuItemBitmaps(dropDownHandle_, IDM_MQUITTER, MF_BYCOMMAND, static_cast<HBITMAP>(imageList1Bitmap_.Get()),
                           nullptr);
}

void MainWindow::AttachMenuBitmap() {
    menuBarHandle_ = GetMenu(hwnd_);
    dropDownHandle_ = GetSubMenu(menuBarHandle_, 0);
    // Position 2 is "Quitter" while "Ouvrir" and its separator are hidden; the picture then stays with it.
    SetMenuItemBitmaps(dropDownHandle_, 2, MF_BYPOSITION, static_cast<HBITMAP>(imageList1Bitmap_.Get()), nullptr);
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

int MainWindow::Report(const std::wstring &text, UINT flags) {
    reportOpen_ = true;
    const int answer = MessageBoxW(hwnd_, text.c_str(), L"Quelvo", flags);
    reportOpen_ = false;
    return answer;
}

void MainWindow::AboutCommand() {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
    about_.Show(instance);
}

void MainWindow::SetStatusText(std::string_view text) {
    SetDlgItemTextW(hwnd_, IDC_TEXT1, Widen(text).c_str());
}

void MainWindow::SetViewerChecked(const ViewerRecord &viewer, bool checked) {
    menu_.SetChecked(IDM_MCORTONA + static_cast<UINT>(IndexOf(viewer)), checked);
}

void MainWindow::OnGetMinMaxInfo(MINMAXINFO *info, UINT dpi) {
    const SIZE size = DesignWindowSize(dpi);
    info->ptMinTrackSize = {size.cx, size.cy};
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

void MainWindow::OnActivate(UINT state, bool minimized) {
    // As the dialog manager does: activation gives the focus back to the control that had it, else to the first.
    if (state == WA_INACTIVE)
        RememberFocus();
    else if (!minimized)
        RestoreFocus();
}

void MainWindow::OnShowWindow(bool shown) {
    // Hiding takes the focus away without a deactivation, and showing an active window activates nothing; the
    // check comes once the window is shown.
    if (!shown)
        RememberFocus();
    else
        PostMessageW(hwnd_, kRestoreFocus, 0, 0);
    // The tooltips live only while the window is shown: they have no owner to hide with (see CreateViewerTips), and
    // under Wine, left behind a hidden window, they held up the icon's clicks for seconds.
    if (!shown && tooltips_) DestroyWindow(std::exchange(tooltips_, nullptr));
    if (shown) PostMessageW(hwnd_, kCreateTooltips, 0, 0);
}

void MainWindow::RememberFocus() {
    const HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) focusedControl_ = focus;
}

void MainWindow::RestoreFocus() {
    const bool remembered = focusedControl_ && IsChild(hwnd_, focusedControl_) && IsWindowEnabled(focusedControl_);
    SetFocus(remembered ? focusedControl_ : FirstTabStop());
}

HWND MainWindow::FirstTabStop() const {
    for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if ((GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(child) && IsWindowEnabled(child))
            return child;
    return hwnd_;
}

void MainWindow::OnDestroy() {
    elevatedSwitch_.Cancel();
    FlushShellNotice(); // a switch made just before the end is told all the same
    if (tooltips_) DestroyWindow(std::exchange(tooltips_, nullptr));
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    if (!about_.IsOpen()) PostQuitMessage(0);
}

void MainWindow::OnAboutClosed() {
    if (!hwnd_) PostQuitMessage(0);
}

std::span<const ControlDesign> MainWindowDesign() {
    return kDesign;
}

SIZE MainWindowClientTwips() {
    return {kClientWidthTwips, kClientHeightTwips};
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
