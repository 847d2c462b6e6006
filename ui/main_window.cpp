#include "main_window.h"

#include "core/association.h"
#include "core/detection.h"
#include "design.h"
#include "platform/text_win.h"
#include "resource.h"
#include "switch_report.h"
#include "tray/icon_data.h"
#include "tray/on_top.h"

#include <windowsx.h>

namespace quelvo {
namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr int kClientWidthTwips = 1440;
constexpr int kClientHeightTwips = 4110;
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

HICON LoadProgramIcon(HINSTANCE instance, int size) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUELVO), IMAGE_ICON, size, size, 0));
}

SIZE DesignWindowSize() {
    return WindowSizeForClient(kClientWidthTwips, kClientHeightTwips, kStyle, 0, true);
}

} // namespace

MainWindow::~MainWindow() {
    about_.OnClosed(nullptr);
    about_.Destroy();
    if (hwnd_) DestroyWindow(hwnd_);
}

bool MainWindow::Create(HINSTANCE instance) {
    RegisterWindowClass(instance, kMainWindowClass, WindowProc);
    const SIZE size = DesignWindowSize();
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
    DetectCurrentViewer(services_.registryReader, *this);
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
        OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO *>(lParam));
        return 0;
    }
    auto *self = AttachedState<MainWindow>(hwnd, message, lParam);
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCCREATE) self->hwnd_ = hwnd;
    if (message == WM_CREATE) return self->OnCreate(hwnd, reinterpret_cast<LPCREATESTRUCTW>(lParam)) ? 0 : -1;
    return self->HandleMessage(message, wParam, lParam);
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
    }
    if (message == taskbarCreatedMessage_ && message != 0) {
        OnTaskbarCreated();
        return 0;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

BOOL MainWindow::OnCreate(HWND hwnd, LPCREATESTRUCTW create) {
    hwnd_ = hwnd;
    LoadResources(create->hInstance);
    CreateControls();
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(windowIcon_.Get()));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
    menu_ = SettingsMenu(GetMenu(hwnd));
    menu_.SetVisible(IDM_MOUVRIR, false);
    menu_.SetVisible(IDM_MTIR2, false);
    taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");
    return TRUE;
}

void MainWindow::LoadResources(HINSTANCE instance) {
    font_.Reset(CreateDefaultGuiFont());
    for (std::size_t i = 0; i < badges_.size(); ++i)
        badges_[i].Reset(LoadImageW(instance, MAKEINTRESOURCEW(IDB_COMMAND1 + i), IMAGE_BITMAP, 0, 0, 0));
    imageList1Bitmap_.Reset(LoadImageW(instance, MAKEINTRESOURCEW(IDB_POWER), IMAGE_BITMAP, 0, 0, 0));
    windowIcon_.Reset(LoadProgramIcon(instance, GetSystemMetrics(SM_CXICON)));
    smallIcon_.Reset(LoadProgramIcon(instance, GetSystemMetrics(SM_CXSMICON)));
    image1Icon_.Reset(LoadProgramIcon(instance, 16));
}

void MainWindow::CreateControls() {
    quelvo::CreateControls(hwnd_, kDesign, static_cast<HFONT>(font_.Get()));
    for (std::size_t i = 0; i < badges_.size(); ++i)
        SendDlgItemMessageW(hwnd_, IDC_COMMAND1 + static_cast<int>(i), BM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(badges_[i].Get()));
    SendDlgItemMessageW(hwnd_, IDC_IMAGE1, STM_SETICON, reinterpret_cast<WPARAM>(image1Icon_.Get()), 0);
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

void MainWindow::ViewerButtonClick(const ViewerRecord &viewer) {
    const SwitchOutcome outcome = SwitchViewer(
        viewer, {services_.registryWriter, services_.registryReader, services_.machineBackup, services_.shell}, *this);
    if (!outcome.Succeeded()) ReportFailedSwitch(hwnd_, viewer, outcome);
}

void MainWindow::AboutCommand() {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
    about_.Show(instance, windowIcon_.Get(), smallIcon_.Get());
}

void MainWindow::SetStatusText(std::string_view text) {
    SetDlgItemTextW(hwnd_, IDC_TEXT1, Widen(text).c_str());
}

void MainWindow::SetViewerChecked(const ViewerRecord &viewer, bool checked) {
    menu_.SetChecked(IDM_MCORTONA + static_cast<UINT>(IndexOf(viewer)), checked);
}

void MainWindow::OnGetMinMaxInfo(MINMAXINFO *info) {
    const SIZE size = DesignWindowSize();
    info->ptMinTrackSize = {size.cx, size.cy};
}

void MainWindow::OnDestroy() {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    if (!about_.IsOpen()) PostQuitMessage(0);
}

void MainWindow::OnAboutClosed() {
    if (!hwnd_) PostQuitMessage(0);
}

void MainWindow::EndProgram() {
    about_.Destroy();
    PostQuitMessage(0);
}

} // namespace quelvo
