// The resource script is French throughout, and a Windows in another language still finds its menu and texts: the
// loader looks for the thread's language, then the neutral and English ones, then takes whatever language it holds.
#include "ui/resource.h"
#include "ui/texts.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

namespace quelvo::test {
namespace {

constexpr WORD kFrench = MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH);
constexpr WORD kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// A string lives in block id / 16 + 1 of the table.
LPCWSTR StringBlock(UINT id) {
    return MAKEINTRESOURCEW(id / 16 + 1);
}

std::vector<WORD> Languages(LPCWSTR type, LPCWSTR name) {
    std::vector<WORD> languages;
    EnumResourceLanguagesW(
        GetModuleHandleW(nullptr), type, name,
        [](HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) -> BOOL {
            reinterpret_cast<std::vector<WORD> *>(found)->push_back(language);
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

std::wstring FirstCaption(HMENU menu) {
    wchar_t caption[64] = {};
    GetMenuStringW(menu, 0, caption, 64, MF_BYPOSITION);
    return caption;
}

TEST(Resources, MenuTextsAndVersionAreTaggedFrenchOnly) {
    EXPECT_EQ(Languages(RT_MENU, MAKEINTRESOURCEW(IDR_MAINMENU)), std::vector<WORD>{kFrench});
    EXPECT_EQ(Languages(RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO)), std::vector<WORD>{kFrench});
    EXPECT_EQ(Languages(RT_STRING, StringBlock(IDS_WINDOWS_SAYS)), std::vector<WORD>{kFrench});
}

TEST(Resources, AThreadInEnglishStillGetsTheFrenchMenuAndTexts) {
    std::wstring caption, text;
    LANGID language = 0;
    std::thread([&] {
        language = SetThreadUILanguage(kEnglish);
        HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINMENU));
        caption = FirstCaption(menu);
        DestroyMenu(menu);
        text = FormatText(IDS_WINDOWS_SAYS, {L"Accès refusé.", L"5"});
    }).join();
    EXPECT_EQ(language, kEnglish) << "the thread's UI language was not set";
    EXPECT_EQ(caption, L"Paramétres");
    EXPECT_EQ(text, L"Windows indique : Accès refusé. (erreur 5)");
}

TEST(Resources, FillingInTakesArgumentsAsTheyAre) {
    EXPECT_EQ(FillIn(L"%2 avant %1, %% et %3", {L"a", L"b%1"}), L"b%1 avant a, % et ");
    EXPECT_EQ(FillIn(L"fin %", {L"a"}), L"fin %");
}

} // namespace
} // namespace quelvo::test
