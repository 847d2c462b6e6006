#include "../win/registry_fixture.h"
#include "e2e_fixture.h"

namespace quelvo::e2e {
namespace {

using expected::kContentType;

// Through the real registry, read back through the API and by reg.exe; the menu's route and start-up's reading are
// checked in process.
TEST_F(EndToEndTest, EachButtonLeavesItsViewersValuesInTheRegistry) {
    ASSERT_TRUE(program.Start()) << program.What();
    for (const ViewerRecord &viewer : Viewers()) {
        SCOPED_TRACE(std::string(viewer.displayName));
        FillWithOtherText();
        SwitchByButton(viewer);
        ExpectRegistryHolds(viewer);
    }
    ExpectRegToolReads(Viewers().back());
}

TEST_F(EndToEndTest, ARefusedWriteIsReportedAndTheProgramCarriesOn) {
    const std::string first = kContentType + "model/vrml";
    const std::string tenth = kContentType + "x-world/x-x3d+xml";
    ASSERT_TRUE(program.Start()) << program.What();
    ASSERT_EQ(program.StatusText(), L"Octaga");

    // Refused at the first write: nothing changes.
    SetKeySecurity(first, test::kDenyWrites);
    program.ClickControl(IDC_COMMAND8);
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = program.FindMessageBox()) != nullptr; }));
    std::wstring text = program.MessageBoxText(box);
    EXPECT_NE(text.find(Widen(first) + L"\\CLSID"), std::wstring::npos) << std::string(text.begin(), text.end());
    // Wine's token reads elevated: the key's own security refuses, and no advice to run as administrator.
    EXPECT_NE(text.find(L"c'est la sécurité propre de la clé " + Widen(first) + L" qui refuse"),
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
    EXPECT_NE(text.find(Widen(tenth) + L"\\CLSID"), std::wstring::npos);
    EXPECT_NE(text.find(L"Les 9 valeurs"), std::wstring::npos);
    program.CloseMessageBox(box);
    ASSERT_TRUE(WaitFor([&] { return program.FindMessageBox() == nullptr; }));
    const std::wstring cortona = Widen(expected::AssociationsOf("Cortona").front().value);
    EXPECT_EQ(ReadText(first + "\\CLSID"), cortona);
    EXPECT_EQ(ReadText(kContentType + "x-world/x-fx3d\\CLSID"), cortona);
    EXPECT_EQ(ReadText(tenth + "\\CLSID"), L"other text");
    EXPECT_EQ(ReadText(kContentType + "x-world/x-x3d-vrml\\CLSID"), L"other text");
    EXPECT_EQ(ReadText("HKEY_CLASSES_ROOT\\.x3dz\\"), L"other text");
    EXPECT_EQ(program.StatusText(), L"Octaga");

    SetKeySecurity(tenth, test::kAllowAll);

    // Refused after ".wrl" got Cortona's empty machine value: detected again, no viewer is shown any more.
    const std::string wrlGz = expected::kMachineClasses + ".wrl.gz";
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
    ExpectRegistryHolds(ViewerNamed("Cortona"));
}

} // namespace
} // namespace quelvo::e2e
