#include "../win/process_runner.h"
#include "../win/registry_fixture.h"
#include "e2e_fixture.h"

#include <initguid.h>
#include <oleacc.h>
#include <psapi.h>


namespace quelvo::e2e {
namespace {

const std::string kFirstKey = expected::kContentType + "model/vrml";

// Where the process loaded dll from; empty when it has not.
std::wstring LoadedFrom(HANDLE process, const wchar_t *dll) {
    HMODULE modules[512];
    DWORD bytes = 0;
    if (!EnumProcessModules(process, modules, sizeof modules, &bytes)) return L"";
    for (DWORD i = 0; i < bytes / sizeof(HMODULE); ++i) {
        wchar_t name[MAX_PATH] = {};
        GetModuleBaseNameW(process, modules[i], name, MAX_PATH);
        if (lstrcmpiW(name, dll) != 0) continue;
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameExW(process, modules[i], path, MAX_PATH);
        return path;
    }
    return L"";
}

bool LoadedIn(HANDLE process, const wchar_t *dll) {
    return !LoadedFrom(process, dll).empty();
}

std::wstring FolderOf(const std::wstring &path) {
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// Keys and drags as a person makes them, through the X server; see with_xdotool.sh.
class KeyboardEndToEnd : public EndToEndTest {
protected:
    void SetUp() override {
        if (!XdotoolAvailable()) GTEST_SKIP() << "run through with_xdotool.sh";
        EndToEndTest::SetUp();
    }
    void Press(const std::string &keys) { ASSERT_TRUE(Xdotool("key " + keys)) << keys; }
    bool InFront() {
        return WaitFor([&] { return GetForegroundWindow() == program.Window() && IsWindowEnabled(program.Window()); });
    }
    // The program's thread runs the system's move loop, holding the pointer's capture: GetCapture would answer for
    // this thread only.
    bool InMoveLoop() {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(GetWindowThreadProcessId(program.Window(), nullptr), &info) &&
               (info.flags & GUI_INMOVESIZE) && info.hwndCapture != nullptr;
    }
    static bool PointerAt(int x, int y) {
        POINT now = {};
        return GetCursorPos(&now) && now.x == x && now.y == y;
    }
    void ExpectSpaceChooses(std::string_view name) {
        ASSERT_TRUE(InFront());
        Press("space");
        EXPECT_TRUE(WaitFor([&] { return program.StatusText() == Widen(name); }))
            << "Space did not choose " << name << "; the box shows " << Narrow(program.StatusText());
    }
};

TEST_F(KeyboardEndToEnd, SpaceChoosesTheFocusedViewerAtStartUpAfterARestoreAndAfterAnErrorMessage) {
    ASSERT_TRUE(program.Start()) << program.What();
    ExpectSpaceChooses("Cortona"); // the first button in tab order
    ExpectRegistryHolds(ViewerNamed("Cortona"));

    Press("Tab"); // Blaxxun
    program.Command(IDM_MSYSTRAY);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(program.Window()); }));
    program.Notify(WM_LBUTTONDBLCLK); // the icon, as the shell reports a double-click
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(program.Window()) != FALSE; }));
    ExpectSpaceChooses("Blaxxun");

    Press("Tab"); // Pivoron
    SetKeySecurity(kFirstKey, test::kDenyWrites);
    Press("space");
    ASSERT_TRUE(WaitFor([&] { return program.FindMessageBox() != nullptr; }));
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == program.FindMessageBox(); }));
    Press("Return");
    ASSERT_TRUE(WaitFor([&] { return program.FindMessageBox() == nullptr; }));
    SetKeySecurity(kFirstKey, test::kAllowAll);
    ExpectSpaceChooses("Pivoron");
}

TEST_F(KeyboardEndToEnd, QuitOrTheSessionsEndDuringAMoveEndsTheProgram) {
    for (const bool quit : {true, false}) {
        SCOPED_TRACE(quit ? "Quitter" : "end of the session");
        ASSERT_TRUE(program.Start()) << program.What();
        RECT frame = {};
        GetWindowRect(program.Window(), &frame);
        const int x = (frame.left + frame.right) / 2, y = frame.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2;
        ASSERT_TRUE(Xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " mousedown 1"));
        ASSERT_TRUE(WaitFor([&] { return InMoveLoop(); })) << "the press on the title bar started no move";
        ASSERT_TRUE(Xdotool("mousemove " + std::to_string(x + 40) + " " + std::to_string(y + 30)));
        ASSERT_TRUE(WaitFor([&] { return PointerAt(x + 40, y + 30) && InMoveLoop(); }))
            << "the drag did not arrive while the move went on";
        if (quit)
            PostMessageW(program.Window(), WM_COMMAND, MAKEWPARAM(IDM_MQUITTER, 0), 0);
        else
            SendMessageTimeoutW(program.Window(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                                test::CeilingMs(), nullptr);
        const bool exited = program.Exited();
        Xdotool("mouseup 1");
        EXPECT_TRUE(exited) << "the move's own loop kept the program alive";
        EXPECT_EQ(program.ExitCode(), 0u);
        program.Kill();
    }
}

class EndingEndToEnd : public EndToEndTest {};

TEST_F(EndingEndToEnd, TheAccessibilityLibraryLoadsOnlyWhenAClientAsks) {
    ASSERT_TRUE(program.Start()) << program.What();
    program.Settle();
    EXPECT_FALSE(LoadedIn(program.ProcessHandle(), L"oleacc.dll"));

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccessible *accessible = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(program.Control(IDC_TEXT1), static_cast<DWORD>(OBJID_CLIENT),
                                         IID_IAccessible, reinterpret_cast<void **>(&accessible)),
              S_OK);
    VARIANT self = {};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    EXPECT_EQ(accessible->get_accName(self, &name), S_OK);
    EXPECT_EQ(std::wstring(name ? name : L""), L"En Cours");
    SysFreeString(name);
    accessible->Release();
    CoUninitialize();
    EXPECT_TRUE(LoadedIn(program.ProcessHandle(), L"oleacc.dll"));
}

// A copy of quelvo.exe in a folder of its own, as in a downloads folder, with a DLL named like the accessibility
// library beside it. win_tests shows that Wine's loader takes such a DLL by default.
TEST_F(EndingEndToEnd, ADllPlantedBesideTheProgramIsNeverLoaded) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"quelvo-planted\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(QuelvoPath().c_str(), (folder + L"quelvo.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((test::TestsFolder() + L"\\quelvo_planted.dll").c_str(), (folder + L"oleacc.dll").c_str(),
                          FALSE));

    ASSERT_TRUE(program.Start(folder + L"quelvo.exe")) << program.What();
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(program.Control(IDC_TEXT1), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT),
                        SMTO_ABORTIFHUNG, test::CeilingMs(), &answer);
    const std::wstring loaded = LoadedFrom(program.ProcessHandle(), L"oleacc.dll");
    EXPECT_FALSE(loaded.empty()) << "the client's question loads the library";
    EXPECT_NE(FolderOf(loaded), folder) << "the planted copy was loaded";
    EXPECT_NE(answer, 0u) << "answered by the system's library";
    program.Kill();
    DeleteFileW((folder + L"quelvo.exe").c_str());
    DeleteFileW((folder + L"oleacc.dll").c_str());
    RemoveDirectoryW(folder.c_str());
}

} // namespace
} // namespace quelvo::e2e
