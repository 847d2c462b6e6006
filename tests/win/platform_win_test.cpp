#include "platform/account_win.h"
#include "platform/dll_search_win.h"
#include "platform/message_filter_win.h"
#include "platform/single_instance_win.h"

#include <gtest/gtest.h>

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
