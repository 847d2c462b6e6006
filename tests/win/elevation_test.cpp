#include "box_script.h"
#include "registry_fixture.h"
#include "core/switch_backup.h"
#include "core/viewer_name.h"
#include "platform/text_win.h"
#include "ui/elevated_switch.h"
#include "ui/switch_report.h"
#include "window_fixture.h"

#include <chrono>

namespace quelvo::test {
namespace {

using namespace std::chrono_literals;

// A non-elevated window whose first write for Blaxxun is refused for lack of rights.
class ElevationTest : public WindowTest {
protected:
    void SetUp() override {
        elevation.elevated = false;
        registry.RefuseWrites(FirstPath(Blaxxun()), kRegistryAccessDenied);
    }
    static const ViewerRecord &Blaxxun() { return Viewers()[1]; }
    static std::string FirstPath(const ViewerRecord &viewer) { return BuildAssociationList(viewer).front().path; }
    static SwitchOutcome Refusal() { return {0, FirstPath(Blaxxun()), kRegistryAccessDenied}; }

    // Lets the posted end of the wait arrive, as the message loop would.
    bool PumpUntil(const std::function<bool()> &condition, std::chrono::seconds limit = 3s) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > end) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            Pump();
        }
        return true;
    }
};

TEST_F(ElevationTest, OuiRunsTheCommandLineAsAdministratorAndShowsTheViewerWhenItSucceeds) {
    Start();
    BoxScript boxes({IDYES});
    Click(IDC_COMMAND3);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], ElevationQuestion(Blaxxun(), Refusal()));
    EXPECT_EQ(boxes.texts[0].find(L"Quittez Quelvo"), std::wstring::npos) << "no advice to restart by hand";
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

    elevation.End(0);
    ASSERT_TRUE(PumpUntil([&] { return StatusText() == L"Blaxxun"; }));
    EXPECT_EQ(CheckedViewerItems(), std::vector<UINT>{IDM_MBLAXXUN});
    EXPECT_TRUE(registry.Writes().empty()) << "the command line wrote; the window only shows it";
    EXPECT_EQ(boxes.texts.size(), 1u);

    Click(IDC_COMMAND4); // the wait is over
    EXPECT_EQ(StatusText(), L"Pivoron");
}

TEST_F(ElevationTest, EveryOtherEndIsReportedAndChangesNothingOnScreen) {
    struct Case {
        DWORD launchError;
        DWORD exitCode;
        std::wstring report;
    };
    const std::vector<Case> cases = {
        {ERROR_CANCELLED, 0, ElevationDeclinedMessage(Blaxxun())},
        {ERROR_FILE_NOT_FOUND, 0, FailedSwitchMessage(Blaxxun(), Refusal())}, // as without this offer
        {ERROR_ACCESS_DENIED, 0, ElevatedLaunchFailedMessage(Blaxxun(), ERROR_ACCESS_DENIED)},
        {ERROR_SUCCESS, 5, ElevatedSwitchFailedMessage(Blaxxun(), 5)},
        {ERROR_SUCCESS, 1, ElevatedSwitchFailedMessage(Blaxxun(), 1)},
        {ERROR_SUCCESS, 2, ElevatedSwitchFailedMessage(Blaxxun(), 2)},
    };
    Start();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.launchError * 100 + c.exitCode);
        elevation.launchError = c.launchError;
        BoxScript boxes({IDYES});
        Click(IDC_COMMAND3);
        if (c.launchError == ERROR_SUCCESS) {
            elevation.End(c.exitCode);
            ASSERT_TRUE(PumpUntil([&] { return boxes.texts.size() == 2; }));
        }
        ASSERT_EQ(boxes.texts.size(), 2u);
        EXPECT_EQ(boxes.texts[1], c.report);
        EXPECT_EQ(StatusText(), L"Octaga");
        EXPECT_EQ(CheckedViewerItems(), std::vector<UINT>{IDM_MOCTAGA});
    }
    const std::wstring code5 = ElevatedSwitchFailedMessage(Blaxxun(), 5);
    EXPECT_NE(code5.find(L"code 5"), std::wstring::npos);
    EXPECT_NE(code5.find(L"droits"), std::wstring::npos);
    EXPECT_NE(FailedSwitchMessage(Blaxxun(), Refusal()).find(L"Quittez Quelvo"), std::wstring::npos);
}

TEST_F(ElevationTest, NonAnElevatedWindowAndOtherErrorsKeepTodaysMessage) {
    Start();
    {
        BoxScript boxes({IDNO});
        Click(IDC_COMMAND3);
        EXPECT_EQ(boxes.texts.size(), 1u);
        EXPECT_TRUE(elevation.launches.empty()) << "Non: nothing runs";
    }
    elevation.elevated = true;
    {
        BoxScript boxes;
        Click(IDC_COMMAND3);
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.texts[0], FailedSwitchMessage(Blaxxun(), Refusal()));
    }
    elevation.elevated = false;
    registry.RefuseWrites(FirstPath(Blaxxun()), 1016);
    {
        BoxScript boxes;
        Click(IDC_COMMAND3);
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.texts[0], FailedSwitchMessage(Blaxxun(), {0, FirstPath(Blaxxun()), 1016}));
    }
    EXPECT_TRUE(elevation.launches.empty());
}

TEST_F(ElevationTest, OneReportAtATime) {
    elevation.elevated = true;
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
    elevation.elevated = true; // the window's own switch, whose backup cannot be kept
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
    elevation.elevated = false;
    const ViewerRecord &flux = *FindViewerByName("Flux");
    registry.RefuseWrites(FirstPath(flux), kRegistryAccessDenied);
    BoxScript boxes({IDYES, IDYES});
    Click(IDC_COMMAND8);
    ASSERT_EQ(elevation.launches.size(), 1u);
    elevation.End(7);
    ASSERT_TRUE(PumpUntil([&] { return elevation.launches.size() == 2; }));
    ASSERT_EQ(boxes.texts.size(), 2u);
    EXPECT_EQ(boxes.texts[1], ElevatedNoBackupQuestion(flux));
    EXPECT_EQ(elevation.launches[1].second, L"use \"Flux\" --no-backup");
    elevation.End(0);
    ASSERT_TRUE(PumpUntil([&] { return StatusText() == L"Flux"; }));
}

// Wine runs "runas" at once, with no prompt and no change of rights, and its token reads elevated: only the
// answer to "am I elevated?" is forced here. The launch, the wait, quelvo-cli.exe and the registry are real.
class NotElevatedShell : public ShellElevation {
public:
    bool IsElevated() override { return false; }
};

TEST_F(ElevationTest, UnderWineRunasStartsTheRealCommandLineAndTheWindowShowsItsOutcome) {
    NotElevatedShell shellElevation;
    realElevation = &shellElevation;
    const std::wstring modelVrml = L"SOFTWARE\\Classes\\MIME\\Database\\Content Type\\model/vrml";
    test::SetStringValue(HKEY_CLASSES_ROOT, L".wrl", L"", L"Octaga.Octaga.wrl");
    Start();
    {
        BoxScript boxes({IDYES});
        Click(IDC_COMMAND3);
        EXPECT_TRUE(PumpUntil([&] { return StatusText() == L"Blaxxun"; }, 30s));
        EXPECT_EQ(boxes.texts.size(), 1u) << (boxes.texts.empty() ? L"" : boxes.texts.back());
    }
    EXPECT_EQ(test::GetRawValue(HKEY_CLASSES_ROOT, L".wrl", L"").Text().c_str(), std::wstring(L"VRML.World"));
    EXPECT_TRUE(registry.Writes().empty());

    // The command line refused a write: its exit code reaches the user.
    ASSERT_TRUE(test::SetKeySecurity(HKEY_LOCAL_MACHINE, modelVrml, test::kDenyWrites));
    {
        BoxScript boxes({IDYES});
        Click(IDC_COMMAND4);
        EXPECT_TRUE(PumpUntil([&] { return boxes.texts.size() == 2; }, 30s));
        ASSERT_EQ(boxes.texts.size(), 2u);
        EXPECT_EQ(boxes.texts[1], ElevatedSwitchFailedMessage(Viewers()[2], 5));
    }
    ASSERT_TRUE(test::SetKeySecurity(HKEY_LOCAL_MACHINE, modelVrml, test::kAllowAll));
    EXPECT_EQ(StatusText(), L"Blaxxun");
}

} // namespace
} // namespace quelvo::test
