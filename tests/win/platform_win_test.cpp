#include "platform/account_win.h"
#include "platform/backup_store_win.h"
#include "platform/elevation_win.h"
#include "platform/user_defaults_win.h"
#include "process_runner.h"
#include "platform/dll_search_win.h"
#include "platform/message_filter_win.h"
#include "platform/single_instance_win.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <map>
#include <string>
#include <vector>

namespace quelvo::test {
namespace {

// What the filter functions were called with; the lookup offers only the functions that a test names.
struct FilterCalls {
    std::vector<std::string> offered;
    std::vector<std::tuple<HWND, UINT, DWORD>> ex;
    std::vector<std::pair<UINT, DWORD>> plain;
} g_filter;

BOOL WINAPI FakeFilterEx(HWND window, UINT message, DWORD action, CHANGEFILTERSTRUCT *) {
    g_filter.ex.emplace_back(window, message, action);
    return TRUE;
}
BOOL WINAPI FakeFilter(UINT message, DWORD action) {
    g_filter.plain.emplace_back(message, action);
    return TRUE;
}
FARPROC FakeLookup(const char *name) {
    const std::string wanted = name;
    for (const std::string &offered : g_filter.offered) {
        if (offered != wanted) continue;
        if (wanted == "ChangeWindowMessageFilterEx") return reinterpret_cast<FARPROC>(reinterpret_cast<void *>(FakeFilterEx));
        if (wanted == "ChangeWindowMessageFilter") return reinterpret_cast<FARPROC>(reinterpret_cast<void *>(FakeFilter));
    }
    return nullptr;
}

TEST(MessageFilter, AllowsTheMessageForTheWindowFromWindows7AndProcessWideOnVista) {
    const HWND window = reinterpret_cast<HWND>(0x1234);
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");

    g_filter = {};
    g_filter.offered = {"ChangeWindowMessageFilterEx", "ChangeWindowMessageFilter"};
    EXPECT_TRUE(AllowMessageFromLowerRights(window, taskbarCreated, FakeLookup));
    ASSERT_EQ(g_filter.ex.size(), 1u);
    EXPECT_EQ(g_filter.ex[0], std::make_tuple(window, taskbarCreated, static_cast<DWORD>(MSGFLT_ALLOW)));
    EXPECT_TRUE(g_filter.plain.empty());

    g_filter = {};
    g_filter.offered = {"ChangeWindowMessageFilter"}; // Vista
    EXPECT_TRUE(AllowMessageFromLowerRights(window, taskbarCreated, FakeLookup));
    EXPECT_TRUE(g_filter.ex.empty());
    ASSERT_EQ(g_filter.plain.size(), 1u);
    EXPECT_EQ(g_filter.plain[0], std::make_pair(taskbarCreated, static_cast<DWORD>(MSGFLT_ADD)));

    g_filter = {}; // before Vista: no filter to open
    EXPECT_FALSE(AllowMessageFromLowerRights(window, taskbarCreated, FakeLookup));

    // This system's user32, as the window calls it.
    EXPECT_NE(User32Procedure("ChangeWindowMessageFilterEx"), nullptr);
}

// quelvo_planted.dll lies beside this test program, as a DLL planted in a downloads folder would.
TEST(DllSearch, ADllBesideTheProgramIsNoLongerLoadedOnceTheSearchIsRestricted) {
    HMODULE before = LoadLibraryW(L"quelvo_planted.dll");
    ASSERT_NE(before, nullptr) << "the loader searches the program's folder by default";
    FreeLibrary(before);
    ASSERT_EQ(GetModuleHandleW(L"quelvo_planted.dll"), nullptr);

    ASSERT_TRUE(RestrictDllSearchToSystemFolder());
    EXPECT_EQ(LoadLibraryW(L"quelvo_planted.dll"), nullptr);
    HMODULE system = LoadLibraryW(L"oleacc.dll");
    EXPECT_NE(system, nullptr) << "system DLLs still load";
    FreeLibrary(system);
}

MutexCreation RefusedAsAnElevatedCopysMutexIs(const wchar_t *) {
    return {nullptr, ERROR_ACCESS_DENIED};
}

// Wine has no integrity levels and lets this user open any mutex of the session, so the refusal is made here.
TEST(SingleInstance, AMutexThatExistsOrMayNotBeOpenedMeansAnotherCopyRuns) {
    const wchar_t name[] = L"Local\\Tarnix.Quelvo.SingleInstance.Test";
    UniqueKernelHandle first, second, refused;
    EXPECT_TRUE(ClaimSingleInstance(name, first));
    EXPECT_FALSE(ClaimSingleInstance(name, second));
    EXPECT_FALSE(ClaimSingleInstance(name, refused, RefusedAsAnElevatedCopysMutexIs));
    first.Reset();
    second.Reset();
    EXPECT_TRUE(ClaimSingleInstance(name, first)) << "the claim ends with the handles";
}

// ShellExecuteEx asks for COM on the calling thread first: a thread that never entered an apartment is in a
// single-threaded one once it has started a program through the shell (Wine's runas starts it at once).
TEST(ShellExecute, TheCallingThreadEntersASingleThreadedApartmentFirst) {
    HRESULT again = E_FAIL; // a second entry, on the thread that called the shell: S_FALSE when already in one
    const auto run = [](void *again) -> DWORD {
        const ElevatedLaunch launch =
            ShellElevation().RunAsAdministrator(nullptr, TestsFolder() + L"\\quelvo-cli.exe", L"list");
        if (launch.process) WaitForSingleObject(launch.process.Get(), CeilingMs());
        *static_cast<HRESULT *>(again) = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        return launch.error;
    };
    const HANDLE thread = CreateThread(nullptr, 0, run, &again, 0, nullptr);
    DWORD launched = ERROR_GEN_FAILURE;
    EXPECT_EQ(WaitForSingleObject(thread, 2 * CeilingMs()), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeThread(thread, &launched) && launched == ERROR_SUCCESS) << launched;
    CloseHandle(thread);
    EXPECT_EQ(again, S_FALSE) << "the thread was in no apartment when the shell was called";
}

// Control Panel by its full path in the system folder, never a control.exe found beside the program or along PATH.
TEST(UserDefaults, ControlPanelIsStartedFromTheSystemFolder) {
    wchar_t system[MAX_PATH] = {};
    ASSERT_NE(GetSystemDirectoryW(system, MAX_PATH), 0u);
    EXPECT_EQ(LaunchFor(DefaultsPage::DefaultPrograms).file, std::wstring(system) + L"\\control.exe");
}

// Where the file system gives 128-bit identifiers (ReFS, a Dev Drive), two files with one 64-bit index are two; a hard
// link is one file (the command line's tests).
TEST(FileIdentity, The128BitIdentifierTellsFilesApartWhereTheIndexCannot) {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    FileIdentity file;
    ASSERT_TRUE(IdentityOf(std::wstring(system) + L"\\kernel32.dll", file));
    EXPECT_TRUE(file.wide) << "this file system gives FILE_ID_INFO";
    FileIdentity sameIndex = file, narrow = file; // another file of a ReFS volume; where FILE_ID_INFO failed (Windows 7)
    sameIndex.id[15] ^= 1;
    narrow.wide = false;
    EXPECT_FALSE(file == sameIndex);
    EXPECT_TRUE(file == narrow) << "the 64-bit index decides where one side has no 128-bit identifier";
}

} // namespace
TEST(Account, TheThreeServiceAccountsAreNoUsersAndThisTestIsRunByOne) {
    for (WELL_KNOWN_SID_TYPE type : {WinLocalSystemSid, WinLocalServiceSid, WinNetworkServiceSid, WinBuiltinAdministratorsSid,
                                     WinWorldSid}) {
        BYTE sid[SECURITY_MAX_SID_SIZE];
        DWORD size = sizeof sid;
        ASSERT_TRUE(CreateWellKnownSid(type, nullptr, sid, &size));
        const bool service = type == WinLocalSystemSid || type == WinLocalServiceSid || type == WinNetworkServiceSid;
        EXPECT_EQ(AccountOfSid(sid), service ? Account::SystemOrService : Account::User) << type;
    }
    EXPECT_EQ(CurrentAccount(), Account::User);
}

} // namespace quelvo::test
