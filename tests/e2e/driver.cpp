#include "driver.h"

#include <psapi.h>
#include <shellapi.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace quelvo::e2e {
namespace {

constexpr wchar_t kMainClass[] = L"QuelvoMainWindow";

struct WindowSearch {
    DWORD processId;
    const wchar_t *className;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM context) {
    auto *search = reinterpret_cast<WindowSearch *>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    wchar_t className[64] = {};
    GetClassNameW(hwnd, className, 64);
    if (owner != search->processId || lstrcmpW(className, search->className) != 0) return TRUE;
    if (search->visibleOnly && !IsWindowVisible(hwnd)) return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND FindProcessWindow(DWORD processId, const wchar_t *className, bool visibleOnly = false) {
    WindowSearch search = {processId, className, visibleOnly, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND AnyVisiblePopupMenu() {
    HWND popup = nullptr;
    while ((popup = FindWindowExW(nullptr, popup, L"#32768", nullptr)))
        if (IsWindowVisible(popup)) return popup;
    return nullptr;
}

// Where the shell says the icon is; Wine does not say, and draws its icons from the right end of the taskbar,
// one small-icon slot (with a 2-pixel border each side) per icon, so there each slot in turn is a candidate.
std::vector<POINT> IconCandidates(HWND owner) {
    NOTIFYICONIDENTIFIER icon = {};
    icon.cbSize = sizeof icon;
    icon.hWnd = owner;
    icon.uID = 1;
    RECT place = {};
    if (SUCCEEDED(Shell_NotifyIconGetRect(&icon, &place)))
        return {{(place.left + place.right) / 2, (place.top + place.bottom) / 2}};
    RECT taskbar = {};
    GetWindowRect(FindWindowW(L"Shell_TrayWnd", nullptr), &taskbar);
    const int slot = GetSystemMetrics(SM_CXSMICON) + 4;
    std::vector<POINT> candidates;
    for (int i = 0; i < 8; ++i)
        candidates.push_back({taskbar.right - slot * i - slot / 2, (taskbar.top + taskbar.bottom) / 2});
    return candidates;
}

NOTIFYICONDATAW IconOf(HWND window) {
    NOTIFYICONDATAW icon = {};
    icon.cbSize = NOTIFYICONDATAW_V1_SIZE;
    icon.hWnd = window;
    icon.uID = 1;
    return icon;
}

void SendMouse(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

} // namespace

bool WaitFor(const std::function<bool()> &condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

std::wstring WindowText(HWND hwnd) {
    wchar_t text[1024] = {};
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, test::CeilingMs(),
                        nullptr);
    return text;
}

bool RoundTrip(HWND window) {
    return window && SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, test::CeilingMs(), nullptr) != 0;
}

std::wstring QuelvoPath() {
    return test::BuildFolder() + L"\\quelvo.exe";
}

int CountTopLevelWindows(const wchar_t *className) {
    int count = 0;
    HWND hwnd = nullptr;
    while ((hwnd = FindWindowExW(nullptr, hwnd, className, nullptr)))
        ++count;
    return count;
}

Program::~Program() {
    Kill();
}

bool Program::Launch(const std::wstring &path) {
    window_ = nullptr;
    process_ = test::ChildProcess::Start(L"\"" + path + L"\"", nullptr, nullptr, 0);
    return process_.Started();
}

bool Program::Start(const std::wstring &path) {
    if (!Launch(path)) return false;
    // A program that ended instead is not waited for to the ceiling.
    WaitFor([this] { return (Window() && IsWindowVisible(Window())) || process_.Wait(0ms); });
    return Window() && IsWindowVisible(Window());
}

bool Program::Exited(std::chrono::milliseconds limit) {
    return process_.Wait(limit);
}

DWORD Program::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.Handle(), &code);
    return code;
}

std::string Program::What() {
    if (process_.Started() && !process_.Wait(0ms)) {
        const HWND window = Window();
        return test::Utf8(process_.Result().command) +
               (!window                    ? ": running, with no main window"
                : !IsWindowVisible(window) ? ": running, its main window hidden"
                                           : ": running, its main window shown");
    }
    return process_.Result().Describe();
}

void Program::Kill() {
    process_.End();
    window_ = nullptr;
}

std::size_t Program::WorkingSet() const {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process_.Handle(), &counters, sizeof counters)) return 0;
    return counters.WorkingSetSize;
}

HWND Program::Window() {
    if (!window_ || !IsWindow(window_)) window_ = FindProcessWindow(process_.Id(), kMainClass);
    return window_;
}

void Program::SetStatusText(const std::wstring &text) {
    SendMessageTimeoutW(Control(IDC_TEXT1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                        test::CeilingMs(), nullptr);
}

// Sent, not posted, so that it is done when this returns: a later sent message would otherwise overtake it.
void Program::Command(int id) {
    SendMessageTimeoutW(Window(), WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_ABORTIFHUNG, test::CeilingMs(), nullptr);
}

bool Program::Settle() {
    return RoundTrip(Window());
}

void Program::ClickControl(int id) {
    // The button's own click, as accessibility tools invoke it. Posted: a refused switch then shows a modal box.
    // Real pointer input from another process sometimes loses a press under Wine, so it serves only where the
    // shell or the menu system must see the pointer (the icon, the menu bar).
    SetForegroundWindow(Window());
    PostMessageW(Control(id), BM_CLICK, 0, 0);
}

bool Program::IconPresent() {
    NOTIFYICONDATAW probe = IconOf(Window());
    return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

void Program::DeleteIcon() {
    NOTIFYICONDATAW icon = IconOf(Window());
    Shell_NotifyIconW(NIM_DELETE, &icon);
}

void Program::Notify(UINT mouseMessage) {
    SendNotifyMessageW(Window(), WM_MOUSEMOVE, 1, mouseMessage);
}

HWND Program::PopupMenu() {
    return FindProcessWindow(process_.Id(), L"#32768", true);
}

bool Program::OpenIconPopup() {
    for (const POINT &candidate : IconCandidates(Window())) {
        // Pointer presses injected from another process are sometimes lost under Wine: each place gets a second try.
        for (int attempt = 0; attempt < 2; ++attempt) {
            ClickAt(candidate, true);
            if (WaitFor([this] { return PopupMenu() != nullptr; }, test::Probe())) return true;
            if (AnyVisiblePopupMenu()) { // another program's icon: close its menu, try the next place
                PressKey(VK_ESCAPE);
                WaitFor([] { return AnyVisiblePopupMenu() == nullptr; });
                break;
            }
        }
    }
    return false;
}

HWND Program::FindMessageBox() {
    // The box exists before its text is set; it is shown only once it is complete. On a busy machine the gap shows.
    HWND box = FindProcessWindow(process_.Id(), L"#32770");
    return box && IsWindowVisible(box) ? box : nullptr;
}

std::wstring Program::MessageBoxText(HWND box) {
    // The box is found a moment before its text is set in it; on a busy machine the moment is long.
    std::wstring text;
    WaitFor([&] { return !(text = WindowText(GetDlgItem(box, 0xFFFF))).empty(); });
    return text;
}

void Program::CloseMessageBox(HWND box) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

void Program::PressDialogButton(HWND box, int id) {
    // With the button's handle, as a real click sends it: a task dialog looks the button up by it.
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

void ClickAt(POINT point, bool right) {
    // Place the pointer and see it there before pressing, and give the press time to arrive before the release,
    // as a hand would: under Wine a batch sent at once can lose its press.
    SetCursorPos(point.x, point.y);
    WaitFor(
        [point] {
            POINT now = {};
            GetCursorPos(&now);
            return now.x == point.x && now.y == point.y;
        });
    std::this_thread::sleep_for(50ms);
    SendMouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    std::this_thread::sleep_for(50ms);
    SendMouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

void PressKey(WORD key) {
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = key;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

namespace {

std::wstring XdotoolFolder() {
    wchar_t folder[MAX_PATH] = {};
    return GetEnvironmentVariableW(L"QUELVO_XDOTOOL_DIR", folder, MAX_PATH) ? folder : L"";
}

std::string ReadFileText(const std::wstring &path) {
    std::ifstream in{std::filesystem::path(path)};
    std::string text;
    std::getline(in, text);
    return text;
}

} // namespace

bool XdotoolAvailable() {
    return !XdotoolFolder().empty();
}

bool Xdotool(const std::string &arguments) {
    static int sequence = 0;
    const std::wstring folder = XdotoolFolder();
    if (folder.empty()) return false;
    const std::string number = std::to_string(++sequence);
    {
        std::ofstream out(std::filesystem::path(folder + L"\\request.tmp"), std::ios::binary);
        out << number << ' ' << arguments << '\n';
        // Keys go where the X focus is, which Wine hands to the foreground window's own X window a moment after
        // activating it: the helper waits for that window, named by the id Wine keeps on it (0: none known).
        if (arguments.starts_with("key"))
            out << "focus "
                << reinterpret_cast<std::uintptr_t>(GetPropW(GetForegroundWindow(), L"__wine_x11_whole_window"))
                << '\n';
    }
    // Renamed into place so that the helper never reads half a request.
    MoveFileExW((folder + L"\\request.tmp").c_str(), (folder + L"\\request").c_str(), MOVEFILE_REPLACE_EXISTING);
    return WaitFor([&] { return ReadFileText(folder + L"\\ack") == number; });
}

bool SaveScreenshot(const std::wstring &folder, const std::wstring &name) {
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<char> pixels(static_cast<std::size_t>(stride) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO *>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(std::filesystem::path(folder + L"\\" + name + L".bmp"), std::ios::binary);
    out.write(reinterpret_cast<const char *>(&file), sizeof file);
    out.write(reinterpret_cast<const char *>(&header), sizeof header);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return out.good();
}

} // namespace quelvo::e2e
