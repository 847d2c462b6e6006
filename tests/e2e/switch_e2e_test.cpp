#include "../core/expected_associations.h"
#include "../win/registry_fixture.h"
#include "e2e_fixture.h"

namespace quelvo::e2e {
namespace {

constexpr char kContentType[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\MIME\\Database\\Content Type\\";

TEST_F(EndToEndTest, EachButtonLeavesItsViewersValuesInTheRegistry) {
    SwitchEveryViewer(Route::Button);
}

TEST_F(EndToEndTest, EachMenuItemLeavesTheSameValuesAsItsButton) {
    SwitchEveryViewer(Route::Menu);
}

TEST_F(EndToEndTest, StartUpShowsTheViewerThatOwnsWrlAndAlwaysOpens) {
    const std::vector<std::pair<std::optional<std::wstring>, std::wstring>> cases = {
        {L"Cortona.Control.1", L"Cortona"},
        {L"Cortona.Client", L"Cortona"},
        {L"SGI.CosmoPlayer.2", L"CosmoPlayer"},
        {L"VRML.World", L"Blaxxun"},
        {L"Octaga.Octaga.wrl", L"Octaga"},
        {L"Nexternet.NexternetPlayer.1", L"Pivoron"},
        {L"Anima.AnimaCtrl.1", L"Flux"},
        {L"X3D.World", L"BS Contact"},
        {L"Some.Other.Plugin", L""},
        {L"", L""},
        {std::nullopt, L""},
    };
    for (const auto &[wrl, status] : cases) {
        SCOPED_TRACE(wrl ? std::string(wrl->begin(), wrl->end()) : "no .wrl key");
        if (wrl)
            SetWrl(*wrl);
        else
            DeleteWrl();
        ASSERT_TRUE(program.Start()) << "the window did not open";
        EXPECT_EQ(program.StatusText(), status);
        EXPECT_TRUE(program.IconPresent());
        program.Command(IDM_MQUITTER);
        EXPECT_TRUE(program.Exited());
        program.Kill();
    }
}

TEST_F(EndToEndTest, ARefusedWriteIsReportedAndTheProgramCarriesOn) {
    const std::string first = std::string(kContentType) + "model/vrml";
    const std::string tenth = std::string(kContentType) + "x-world/x-x3d+xml";
    ASSERT_TRUE(program.Start());
    ASSERT_EQ(program.StatusText(), L"Octaga");

    // Refused at the first write: nothing changes.
    SetKeySecurity(first, test::kDenyWrites);
    program.ClickControl(IDC_COMMAND8);
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = program.FindMessageBox()) != nullptr; }));
    std::wstring text = program.MessageBoxText(box);
    EXPECT_NE(text.find(Wide(first) + L"\\CLSID"), std::wstring::npos) << std::string(text.begin(), text.end());
    // Wine's token reads elevated: the key's own security refuses, and no advice to run as administrator.
    EXPECT_NE(text.find(L"c'est la sécurité propre de la clé " + Wide(first) + L" qui refuse"),
              std::wstring::npos)
        << std::string(text.begin(), text.end());
    EXPECT_EQ(text.find(L"Exécuter en tant"), std::wstring::npos);
    EXPECT_NE(text.find(L"(erreur 5)"), std::wstring::npos);
    EXPECT_NE(text.find(L"Aucune valeur"), std::wstring::npos);
    program.CloseMessageBox(box);
    ASSERT_TRUE(WaitFor([&] { return program.FindMessageBox() == nullptr; }));
    EXPECT_FALSE(program.Exited(0ms));
    EXPECT_EQ(program.StatusText(), L"Octaga");
    EXPECT_EQ(ReadText(first + "\\CLSID"), L"other text");
    SetKeySecurity(first, test::kAllowAll);

    // Refused at the tenth: the nine before it stay.
    SetKeySecurity(tenth, test::kDenyWrites);
    program.ClickControl(IDC_COMMAND1);
    ASSERT_TRUE(WaitFor([&] { return (box = program.FindMessageBox()) != nullptr; }));
    text = program.MessageBoxText(box);
    EXPECT_NE(text.find(Wide(tenth) + L"\\CLSID"), std::wstring::npos);
    EXPECT_NE(text.find(L"Les 9 valeurs"), std::wstring::npos);
    program.CloseMessageBox(box);
    ASSERT_TRUE(WaitFor([&] { return program.FindMessageBox() == nullptr; }));
    const std::wstring cortona = Wide(expected::AssociationsOf("Cortona").front().value);
    EXPECT_EQ(ReadText(first + "\\CLSID"), cortona);
    EXPECT_EQ(ReadText(std::string(kContentType) + "x-world/x-fx3d\\CLSID"), cortona);
    EXPECT_EQ(ReadText(tenth + "\\CLSID"), L"other text");
    EXPECT_EQ(ReadText(std::string(kContentType) + "x-world/x-x3d-vrml\\CLSID"), L"other text");
    EXPECT_EQ(ReadText("HKEY_CLASSES_ROOT\\.x3dz\\"), L"other text");
    EXPECT_EQ(program.StatusText(), L"Octaga");

    SetKeySecurity(tenth, test::kAllowAll);

    // Refused after ".wrl" got Cortona's empty machine value: detected again, no viewer is shown any more.
    const std::string wrlGz = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.wrl.gz";
    SetKeySecurity(wrlGz, test::kDenyWrites);
    program.ClickControl(IDC_COMMAND1);
    ASSERT_TRUE(WaitFor([&] { return (box = program.FindMessageBox()) != nullptr; }));
    EXPECT_NE(program.MessageBoxText(box).find(L"Les 12 valeurs"), std::wstring::npos);
    program.CloseMessageBox(box);
    ASSERT_TRUE(WaitFor([&] { return program.FindMessageBox() == nullptr; }));
    EXPECT_EQ(ReadText("HKEY_CLASSES_ROOT\\.wrl\\"), L"");
    EXPECT_EQ(program.StatusText(), L"");
    SetKeySecurity(wrlGz, test::kAllowAll);

    // Allowed again: the next switch writes everything.
    SwitchByButton(ViewerNamed("Cortona"));
    ExpectRegistryHolds(ViewerNamed("Cortona"), false);
}

TEST_F(EndToEndTest, TypedStatusTextIsReplacedByTheNextSwitch) {
    ASSERT_TRUE(program.Start());
    program.SetStatusText(L"mon viewer");
    program.Settle();
    EXPECT_EQ(ReadText("HKEY_CLASSES_ROOT\\.wrl\\"), L"Octaga.Octaga.wrl");
    SwitchByButton(ViewerNamed("Flux"));
}

} // namespace
} // namespace quelvo::e2e
