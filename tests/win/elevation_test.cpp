#include "box_script.h"
#include "limits.h"
#include "../core/expected_associations.h"
#include "core/exit_codes.h"
#include "core/messages.h"
#include "platform/registry_win.h"
#include "platform/text_win.h"
#include "registry_fixture.h"
#include "core/switch.h"
#include "core/viewer_name.h"
#include "platform/text_win.h"
#include "ui/elevated_switch.h"
#include "ui/switch_report.h"
#include "window_fixture.h"

#include <chrono>

namespace quelvo::test {
namespace {

using namespace std::chrono_literals;

// A window in the limited half of an administrator's token, whose first write for Blaxxun is refused for lack
// of rights.
class ElevationTest : public WindowTest {
protected:
    void SetUp() override {
        elevation.rights = TokenRights(TokenElevationTypeLimited, false);
        registry.RefuseWrites(FirstPath(Blaxxun()), kRegistryAccessDenied);
    }
    static const ViewerRecord &Blaxxun() { return Viewers()[1]; }
    static std::string FirstPath(const ViewerRecord &viewer) { return BuildAssociationList(viewer).front().path; }
    static SwitchOutcome Refusal() { return {0, FirstPath(Blaxxun()), kRegistryAccessDenied}; }
    static bool Contains(const std::wstring &text, const std::wstring &part) {
        return text.find(part) != std::wstring::npos;
    }
    // A task dialog's texts hold the question's and a line for each button, "Annuler" last.
    static std::wstring Shown(const Choice &choice) {
        std::wstring buttons;
        for (const ChoiceButton &button : choice.buttons)
            buttons += button.text + L"\n";
        return buttons + L"Annuler\n";
    }
    static void ExpectAsks(const std::wstring &text, const Choice &choice) {
        EXPECT_TRUE(Contains(text, choice.instruction + L"\n" + choice.content + L"\n")) << text;
        EXPECT_TRUE(text.ends_with(Shown(choice))) << text;
    }

    // Lets the posted end of the wait arrive, as the message loop would.
    bool PumpUntil(const std::function<bool()> &condition, std::chrono::milliseconds limit = Ceiling()) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > end) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            Pump();
        }
        return true;
    }
};

TEST_F(ElevationTest, AsAdministratorRunsTheCommandLineAndTheWindowShowsWhatItWrote) {
    Start();
    BoxScript boxes({kChoiceAsAdministrator});
    Click(IDC_COMMAND3);
    ASSERT_EQ(boxes.texts.size(), 1u);
    ExpectAsks(boxes.texts[0], RefusalChoice(Blaxxun(), Refusal(), RefusalOffer::AdministratorConsent));
    EXPECT_FALSE(Contains(boxes.texts[0], L"Quittez Quelvo")) << "no advice to restart by hand";
    ASSERT_EQ(elevation.launches.size(), 1u);
    const auto &[program, parameters] = elevation.launches[0];
    EXPECT_TRUE(program.ends_with(L"\\quelvo-cli.exe")) << program;
    EXPECT_EQ(parameters, L"use \"Blaxxun\"");

    // While the command runs, the window paints and ignores further viewer commands, which would now succeed.
    registry.AllowWrites(FirstPath(Blaxxun()));
    Click(IDC_COMMAND4);
    Command(IDM_MFLUX);
    EXPECT_TRUE(registry.Writes().empty());
    EXPECT_EQ(elevation.launches.size(), 1u);
    EXPECT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(StatusText(), L"Octaga");
    RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_FALSE(GetUpdateRect(Hwnd(), nullptr, FALSE)) << "painted at once";

    // What the command line wrote, read again: here ".wrl" names Blaxxun.
    registry.SetText("HKEY_CLASSES_ROOT\\.wrl\\", Blaxxun().detectionValue);
    elevation.End(0);
    ASSERT_TRUE(PumpUntil([&] { return StatusText() == L"Blaxxun"; }));
    EXPECT_EQ(CheckedViewerItems(), std::vector<UINT>{IDM_MBLAXXUN});
    EXPECT_TRUE(registry.Writes().empty()) << "the command line wrote; the window only reads";
    EXPECT_EQ(boxes.texts.size(), 1u);

    Click(IDC_COMMAND4); // the wait is over
    EXPECT_EQ(StatusText(), L"Pivoron");
}

TEST_F(ElevationTest, EachTokenAndPolicyGetsWhatCanWork) {
    struct Case {
        const char *name;
        Rights rights;
        bool commandLinePresent;
        std::optional<RefusalOffer> asked; // nullopt: the key-security message alone
    };
    const std::vector<Case> cases = {
        {"split token", TokenRights(TokenElevationTypeLimited, false, 0, 0), true, RefusalOffer::AdministratorConsent},
        {"standard user, defaults", TokenRights(TokenElevationTypeDefault, false), true, RefusalOffer::AdministratorPassword},
        {"standard user, 1", TokenRights(TokenElevationTypeDefault, false, 1, 1), true, RefusalOffer::AdministratorPassword},
        {"standard user, 3", TokenRights(TokenElevationTypeDefault, false, 1, 3), true, RefusalOffer::AdministratorPassword},
        {"standard user, denied", TokenRights(TokenElevationTypeDefault, false, 1, 0), true, RefusalOffer::ForMeOnly},
        {"standard user, UAC off", TokenRights(TokenElevationTypeDefault, false, 0, 3), true, RefusalOffer::ForMeOnly},
        {"no quelvo-cli.exe", TokenRights(TokenElevationTypeLimited, false), false, RefusalOffer::ForMeOnlyNoCommandLine},
        {"elevated", TokenRights(TokenElevationTypeFull, true), true, std::nullopt},
        {"administrator, UAC off", TokenRights(TokenElevationTypeDefault, true, 0), true, std::nullopt},
    };
    Start();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        elevation.rights = c.rights;
        elevation.commandLinePresent = c.commandLinePresent;
        BoxScript boxes({IDCANCEL});
        Click(IDC_COMMAND3);
        ASSERT_EQ(boxes.texts.size(), 1u);
        if (c.asked) {
            ExpectAsks(boxes.texts[0], RefusalChoice(Blaxxun(), Refusal(), *c.asked));
        } else {
            EXPECT_EQ(boxes.texts[0], KeySecurityMessage(Blaxxun(), Refusal()));
            EXPECT_TRUE(Contains(boxes.texts[0], L"sécurité propre de la clé HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\"
                                                 L"MIME\\Database\\Content Type\\model/vrml qui refuse"));
        }
        EXPECT_FALSE(Contains(boxes.texts[0], L"Exécuter en tant qu'administrateur"));
        EXPECT_TRUE(elevation.launches.empty()) << "Annuler: nothing runs";
        EXPECT_TRUE(registry.Writes().empty());
        EXPECT_EQ(StatusText(), L"Octaga") << "a refusal that wrote nothing leaves the display";
    }
    const std::wstring deniedText = RefusalChoice(Blaxxun(), Refusal(), RefusalOffer::ForMeOnly).content;
    EXPECT_FALSE(Contains(deniedText, L"accord")) << "no promise of a prompt that policy denies";
}

TEST_F(ElevationTest, PourMoiSeulementSwitchesThisUserInThisProcess) {
    elevation.rights = TokenRights(TokenElevationTypeDefault, false, 1, 0);
    Start();
    BoxScript boxes({kChoiceForMe});
    Click(IDC_COMMAND3);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_TRUE(elevation.launches.empty());
    std::vector<FakeRegistry::Write> expected;
    for (const RegistryWrite &write : expected::UserAssociationsOf("Blaxxun"))
        expected.push_back({write.path, write.value});
    EXPECT_EQ(registry.Writes(), expected);
    EXPECT_EQ(StatusText(), L"Blaxxun") << "this user's classes root now names it";
    EXPECT_EQ(CheckedViewerItems(), std::vector<UINT>{IDM_MBLAXXUN});
    EXPECT_EQ(shell.calls, 1);
    EXPECT_EQ(boxes.texts.size(), 1u) << "nothing more to say";
}

TEST_F(ElevationTest, EveryOtherEndIsReportedAndTheWindowShowsWhatIsWritten) {
    struct Case {
        DWORD launchError;
        DWORD exitCode;
        std::wstring report;
        const char *wrlAfter; // what the command line left in ".wrl"
        std::wstring status;
    };
    const std::string blaxxun(Blaxxun().detectionValue);
    const std::vector<Case> cases = {
        {ERROR_CANCELLED, 0, ElevationDeclinedMessage(Blaxxun()), "Octaga.Octaga.wrl", L"Octaga"},
        {ERROR_ACCESS_DENIED, 0, ElevatedLaunchFailedMessage(Blaxxun(), ERROR_ACCESS_DENIED), "Octaga.Octaga.wrl",
         L"Octaga"},
        {ERROR_SUCCESS, 5, ElevatedSwitchFailedMessage(Blaxxun(), 5), "Octaga.Octaga.wrl", L"Octaga"},
        // Partial: ".wrl" was written before the refusal, and the window shows it.
        {ERROR_SUCCESS, 5, ElevatedSwitchFailedMessage(Blaxxun(), 5), blaxxun.c_str(), L"Blaxxun"},
        {ERROR_SUCCESS, 1, ElevatedSwitchFailedMessage(Blaxxun(), 1), "", L""},
        // Codes that wrote nothing leave the display as it was, whatever the registry says meanwhile.
        {ERROR_SUCCESS, 2, ElevatedSwitchFailedMessage(Blaxxun(), 2), "", L"Octaga"},
        {ERROR_SUCCESS, 6, ElevatedSwitchFailedMessage(Blaxxun(), 6), "", L"Octaga"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.launchError * 100 + c.exitCode);
        Start();
        elevation.launchError = c.launchError;
        BoxScript boxes({kChoiceAsAdministrator});
        Click(IDC_COMMAND3);
        registry.SetText("HKEY_CLASSES_ROOT\\.wrl\\", c.wrlAfter);
        if (c.launchError == ERROR_SUCCESS) {
            elevation.End(c.exitCode);
            ASSERT_TRUE(PumpUntil([&] { return boxes.texts.size() == 2; }));
        }
        ASSERT_EQ(boxes.texts.size(), 2u);
        EXPECT_EQ(boxes.texts[1], c.report);
        EXPECT_EQ(StatusText(), c.status);
        EXPECT_EQ(CheckedViewerItems().size(), c.status.empty() ? 0u : 1u);
        window.reset();
        Pump();
        registry.SetText("HKEY_CLASSES_ROOT\\.wrl\\", "Octaga.Octaga.wrl");
    }
    // The meanings come from the command line's own table.
    EXPECT_TRUE(Contains(ElevatedSwitchFailedMessage(Blaxxun(), 6), L"code 6 (" + Widen(ExitCodeText(6)) + L")"));
    EXPECT_TRUE(Contains(ElevatedSwitchFailedMessage(Blaxxun(), 77), L"code 77 (code inconnu)"));
}

TEST_F(ElevationTest, OtherErrorsKeepTheReportAlone) {
    Start();
    registry.RefuseWrites(FirstPath(Blaxxun()), 1016);
    BoxScript boxes;
    Click(IDC_COMMAND3);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], FailedSwitchMessage(Blaxxun(), {0, FirstPath(Blaxxun()), 1016}));
    EXPECT_TRUE(elevation.launches.empty());
}

TEST_F(ElevationTest, OneReportAtATime) {
    elevation.rights = TokenRights(TokenElevationTypeFull, true);
    Start();
    BoxScript boxes;
    boxes.whileOpen = [&] {
        registry.AllowWrites(FirstPath(Blaxxun())); // each of these would succeed if it ran
        // The pop-up's choice, a queued command and a click, all while the report is open.
        SendMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(IDM_MBLAXXUN, 0), 0);
        PostMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(IDM_MFLUX, 0), 0);
        PostMessageW(Control(IDC_COMMAND3), BM_CLICK, 0, 0);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    };
    Click(IDC_COMMAND3);
    Pump();
    EXPECT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.mostOpenAtOnce, 1);
    EXPECT_TRUE(registry.Writes().empty()) << "Flux was not written behind the report";
    Click(IDC_COMMAND8);
    EXPECT_EQ(StatusText(), L"Flux") << "commands work again once it is closed";
}

TEST_F(ElevationTest, WithoutABackupNothingIsWrittenUnlessOuiAndTheElevatedExitSevenAsksTheSame) {
    elevation.rights = TokenRights(TokenElevationTypeFull, true); // the window's own switch, whose backup cannot be kept
    registry.AllowWrites(FirstPath(Blaxxun()));
    backup.refuseWith = ERROR_DISK_FULL;
    Start();
    {
        BoxScript boxes({IDNO});
        Click(IDC_COMMAND3);
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_TRUE(boxes.texts[0].ends_with(L"Changer quand même, sans sauvegarde ?")) << Narrow(boxes.texts[0]);
        EXPECT_TRUE(registry.Writes().empty());
        EXPECT_EQ(StatusText(), L"Octaga");
    }
    {
        BoxScript boxes({IDYES});
        Click(IDC_COMMAND3);
        EXPECT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(StatusText(), L"Blaxxun");
        EXPECT_TRUE(registry.TextAt(kMachineNoBackupRecord)) << "no later backup may call itself before Quelvo";
    }

    // As administrator: quelvo-cli wrote nothing for want of a backup (7); Oui runs it again with --no-backup.
    elevation.rights = TokenRights(TokenElevationTypeLimited, false);
    const ViewerRecord &flux = *FindViewerByName("Flux");
    registry.RefuseWrites(FirstPath(flux), kRegistryAccessDenied);
    BoxScript boxes({kChoiceAsAdministrator, IDYES});
    Click(IDC_COMMAND8);
    ASSERT_EQ(elevation.launches.size(), 1u);
    elevation.End(7);
    ASSERT_TRUE(PumpUntil([&] { return elevation.launches.size() == 2; }));
    ASSERT_EQ(boxes.texts.size(), 2u);
    EXPECT_EQ(boxes.texts[1], ElevatedNoBackupQuestion(flux));
    EXPECT_EQ(elevation.launches[1].second, L"use \"Flux\" --no-backup");
    for (const RegistryWrite &write : BuildAssociationList(flux)) registry.SetText(write.path, write.value); // as it did
    elevation.End(0);
    ASSERT_TRUE(PumpUntil([&] { return StatusText() == L"Flux"; }));
}

// Wine runs "runas" at once, with no prompt and no change of rights, and its token reads elevated: only the
// token's facts are forced here. The launch, the wait, quelvo-cli.exe and the registry are real.
class NotElevatedShell : public ShellElevation {
public:
    Rights ReadRights() override { return TokenRights(TokenElevationTypeLimited, false); }
};

TEST_F(ElevationTest, UnderWineRunasStartsTheRealCommandLineAndTheWindowShowsItsOutcome) {
    NotElevatedShell shellElevation;
    realElevation = &shellElevation;
    Win32Registry realRegistry; // what the window reads again after the command line; the refusal stays the fake's
    realReader = &realRegistry;
    const test::PlantedControls controls; // so that the window has nothing to say of the picture
    system.files.insert(Narrow(test::PlantedControls::File()));
    const std::wstring modelVrml = L"SOFTWARE\\Classes\\MIME\\Database\\Content Type\\model/vrml";
    test::SetStringValue(HKEY_CLASSES_ROOT, L".wrl", L"", L"Octaga.Octaga.wrl");
    Start();
    {
        BoxScript boxes({kChoiceAsAdministrator});
        Click(IDC_COMMAND3);
        EXPECT_TRUE(PumpUntil([&] { return StatusText() == L"Blaxxun"; }));
        EXPECT_EQ(boxes.texts.size(), 1u) << (boxes.texts.empty() ? L"" : boxes.texts.back());
    }
    EXPECT_EQ(test::GetRawValue(HKEY_CLASSES_ROOT, L".wrl", L"").Text().c_str(), std::wstring(L"VRML.World"));
    EXPECT_TRUE(registry.Writes().empty());

    // The command line refused a write: its exit code reaches the user.
    ASSERT_TRUE(test::SetKeySecurity(HKEY_LOCAL_MACHINE, modelVrml, test::kDenyWrites));
    {
        BoxScript boxes({kChoiceAsAdministrator});
        Click(IDC_COMMAND4);
        EXPECT_TRUE(PumpUntil([&] { return boxes.texts.size() == 2; }));
        ASSERT_EQ(boxes.texts.size(), 2u);
        EXPECT_EQ(boxes.texts[1], ElevatedSwitchFailedMessage(Viewers()[2], 5));
    }
    ASSERT_TRUE(test::SetKeySecurity(HKEY_LOCAL_MACHINE, modelVrml, test::kAllowAll));
    EXPECT_EQ(StatusText(), L"Blaxxun");
}

} // namespace
} // namespace quelvo::test
