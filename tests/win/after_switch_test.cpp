#include "box_script.h"
#include "../core/expected_associations.h"
#include "lock_holder.h"
#include "core/hiding.h"
#include "platform/text_win.h"
#include "ui/hiding_report.h"
#include "ui/picture_report.h"
#include "ui/switch_report.h"
#include "window_fixture.h"
#include "platform/registry_win.h"
#include "process_runner.h"
#include "registry_fixture.h"
#include "ui/startup.h"

#include <chrono>

namespace quelvo::test {
namespace {

constexpr char kUserWrl[] = "HKEY_CURRENT_USER\\Software\\Classes\\.wrl\\";
constexpr char kUserModelVrml[] = "HKEY_CURRENT_USER\\Software\\Classes\\MIME\\Database\\Content Type\\model/vrml\\CLSID";

bool Contains(const std::wstring &text, const std::wstring &part) {
    return text.find(part) != std::wstring::npos;
}

TEST_F(WindowTest, TheStatusBoxShowsTheNewNameBeforeTheShellHearsOfIt) {
    Start();
    SendMessageW(Control(IDC_COMMAND8), BM_CLICK, 0, 0); // no pumping: only the click's own handler has run
    EXPECT_EQ(StatusText(), L"Flux");
    EXPECT_EQ(shell.calls, 0) << "the notice waits for the posted follow-up";
    Pump();
    EXPECT_EQ(shell.calls, 1);

    SendMessageW(Control(IDC_COMMAND7), BM_CLICK, 0, 0);
    window.reset(); // ended before the follow-up came
    EXPECT_EQ(shell.calls, 2) << "told all the same";
}

TEST_F(WindowTest, AClickWaitsForThePcWideLockPaintingAndIgnoringOtherClicksThenSaysWhyNothingWasWritten) {
    Start();
    {
        LockHolder other(kTestLockName); // another switch on the PC, for longer than the wait
        ASSERT_TRUE(other.Result().Held());
        BoxScript boxes;
        PostMessageW(Control(IDC_COMMAND3), BM_CLICK, 0, 0); // dispatched during the wait, and ignored
        Click(IDC_COMMAND8);
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.texts[0], LockRefusedMessage(Viewers()[6], {LockState::Busy}, 0));
        EXPECT_TRUE(Contains(boxes.texts[0], L"Un autre changement de viewer est en cours sur ce PC"));
        EXPECT_TRUE(registry.Writes().empty());
        EXPECT_EQ(StatusText(), L"Octaga");
    }
    LockHolder other(kTestLockName);
    other.LetGoAfter(100); // let go within the wait: the switch is made
    Click(IDC_COMMAND8);
    EXPECT_EQ(registry.Writes().size(), 29u);
    EXPECT_EQ(StatusText(), L"Flux");
}

TEST_F(WindowTest, TheUsersOwnKeysAreNamedOnceAfterAMachineSwitchAndPourMoiAussiSwitchesThem) {
    registry.SetText(kUserWrl, "Someone.Else");
    registry.CreateKey(kUserModelVrml); // an empty key hides as well
    Start(std::nullopt);
    EXPECT_EQ(StatusText(), L"") << "this user's .wrl names no viewer";
    {
        BoxScript boxes({kChoiceForMeToo});
        Click(IDC_COMMAND7); // Octaga, for the machine
        ASSERT_EQ(boxes.texts.size(), 1u);
        const std::wstring &text = boxes.texts[0];
        EXPECT_TRUE(Contains(text, L"votre clé HKEY_CURRENT_USER\\Software\\Classes\\.wrl\n")) << text;
        EXPECT_TRUE(Contains(text, L"votre clé HKEY_CURRENT_USER\\Software\\Classes\\MIME\\Database\\Content "
                                   L"Type\\model/vrml\n"));
        EXPECT_TRUE(Contains(text, L"continueront de l'emporter sur les prochains changements"));
        EXPECT_FALSE(Contains(text, L".wrz")) << "only what hides is named";
        EXPECT_FALSE(Contains(text, L"Ouvrir avec"));
    }
    // The machine's 29 writes, then this user's 29, made by the window itself.
    std::vector<FakeRegistry::Write> expected;
    for (const auto &writes : {expected::AssociationsOf("Octaga"), expected::UserAssociationsOf("Octaga")})
        for (const RegistryWrite &write : writes)
            expected.push_back({write.path, write.value});
    EXPECT_EQ(registry.Writes(), expected);
    EXPECT_TRUE(elevation.launches.empty());
    EXPECT_EQ(StatusText(), L"Octaga");
    EXPECT_EQ(registry.TextAt(kUserWrl), "Octaga.Octaga.wrl");

    {
        BoxScript boxes({IDCANCEL});
        Click(IDC_COMMAND7); // the user's keys now say the same: nothing hides
        Click(IDC_COMMAND8); // Flux for the machine: hidden again, said again, and left so
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_TRUE(Contains(boxes.texts[0], L"« Flux »"));
    }
    EXPECT_EQ(StatusText(), L"Octaga") << "what this user gets";
}

TEST_F(WindowTest, AnOpenWithChoiceSendsThePersonToTheirVersionsPageOrIsClearedOnWindows7) {
    struct Case {
        WindowsVersion version;
        int answer;
        std::wstring button;
        std::vector<DefaultsPage> opened;
        bool cleared;
    };
    const std::vector<Case> cases = {
        {{10, 0}, kChoiceOpenDefaults, L"Ouvrir Applications par défaut", {DefaultsPage::DefaultApps}, false},
        {{6, 3}, kChoiceOpenDefaults, L"Ouvrir Programmes par défaut", {DefaultsPage::DefaultPrograms}, false},
        {{6, 2}, IDCANCEL, L"Ouvrir Programmes par défaut", {}, false},
        {{6, 1}, kChoiceClearOpenWith, L"Effacer mon choix", {}, true},
    };
    registry.SetText(UserChoicePath(".x3d"), "Some.Other.Player");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.version.major * 10 + c.version.minor);
        userDefaults = {};
        userDefaults.version = c.version;
        Start();
        const int notices = shell.calls;
        BoxScript boxes({c.answer});
        Click(IDC_COMMAND4); // Pivoron
        ASSERT_EQ(boxes.texts.size(), 1u);
        const std::wstring &text = boxes.texts[0];
        EXPECT_TRUE(Contains(text, L"votre choix « Ouvrir avec » pour .x3d (Some.Other.Player)")) << text;
        EXPECT_TRUE(Contains(text, L"\n" + c.button + L"\nAnnuler\n")) << text;
        EXPECT_FALSE(Contains(text, L"Pour moi aussi")) << "no key of the user's own to switch";
        EXPECT_EQ(userDefaults.opened, c.opened);
        EXPECT_EQ(userDefaults.cleared, c.cleared ? std::vector<std::string>{".x3d"} : std::vector<std::string>{});
        EXPECT_EQ(shell.calls - notices, c.cleared ? 2 : 1) << "a cleared choice is told to the shell too";
        window.reset();
        Pump();
    }
    // Settings that will not open (as under Wine) are reported.
    userDefaults = {};
    userDefaults.openError = ERROR_NO_ASSOCIATION;
    Start();
    BoxScript boxes({kChoiceOpenDefaults});
    Click(IDC_COMMAND4);
    ASSERT_EQ(boxes.texts.size(), 2u);
    EXPECT_EQ(boxes.texts[1], DefaultsPageFailedMessage(DefaultsPage::DefaultApps, ERROR_NO_ASSOCIATION));
}

// A switch made by another process reaches the open window through the registry's notice, which the message loop
// waits for; the watch is armed again after each, so the second is seen too.
TEST_F(WindowTest, TheWindowShowsWhatTheCommandLineSwitchedInAnotherProcess) {
    Win32Registry real;
    realReader = &real;
    SetStringValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\.wrl", L"", L"Octaga.Octaga.wrl");
    Start();
    ASSERT_EQ(StatusText(), L"Octaga");
    for (const auto &[viewer, shown] : {std::pair(L"flux", L"Flux"), std::pair(L"cortona", L"Cortona")}) {
        ASSERT_EQ(RunProcess(L"\"" + TestsFolder() + L"\\quelvo-cli.exe\" use " + viewer, nullptr, nullptr), 0u)
            << "quelvo-cli use " << Narrow(viewer);
        const auto end = std::chrono::steady_clock::now() + Ceiling();
        int code = 0;
        while (StatusText() != shown && std::chrono::steady_clock::now() < end)
            ASSERT_TRUE(RunLoopTurn(*window, 1000, code));
        EXPECT_EQ(StatusText(), shown);
        ASSERT_TRUE(window->DetectionChange());
        EXPECT_EQ(WaitForSingleObject(window->DetectionChange(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
            << "watching again, not signalled for ever";
    }
}

} // namespace
} // namespace quelvo::test

namespace quelvo::test {
namespace {

// A viewer that cannot show 3D content here is said once per cause after a switch, in one message with what hides
// the values when both apply; nothing for a viewer whose links hold.
TEST_F(WindowTest, AViewerThatCannotShowPicturesHereIsSaidOncePerCauseAndWithWhatHidesWhenBothApply) {
    unregistered = {"Flux"};
    Start();
    {
        BoxScript boxes;
        Click(IDC_COMMAND8); // Flux, whose control is not registered
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_TRUE(Contains(boxes.texts[0], L"« Flux » ne pourra pas afficher de contenu 3D sur ce PC")) << boxes.texts[0];
        EXPECT_TRUE(Contains(boxes.texts[0], L"{918B202D-8E8F-4649-A70B-E9B178FEDC58}"));
        EXPECT_TRUE(Contains(boxes.texts[0], L"À faire : Installez le viewer"));
        Click(IDC_COMMAND7); // Octaga: every link holds
        Click(IDC_COMMAND8); // Flux again: already said in this run
        EXPECT_EQ(boxes.texts.size(), 1u);
    }
    const std::string pivoron(Viewers()[2].vrmlClsid);
    registry.SetRaw("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX Compatibility\\" + pivoron +
                        "\\Compatibility Flags",
                    kRegDword, std::string("\x00\x04\x00\x00", 4));
    registry.SetText(kUserWrl, "Someone.Else");
    BoxScript boxes({IDCANCEL});
    Click(IDC_COMMAND4); // Pivoron: a kill bit, and this user's own .wrl
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_TRUE(Contains(boxes.texts[0], L"votre clé HKEY_CURRENT_USER\\Software\\Classes\\.wrl")) << boxes.texts[0];
    EXPECT_TRUE(Contains(boxes.texts[0], L"« kill bit »"));
}

} // namespace
} // namespace quelvo::test
