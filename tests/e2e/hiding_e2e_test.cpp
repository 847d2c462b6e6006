#include "../win/registry_fixture.h"
#include "core/association.h"
#include "e2e_fixture.h"
#include "ui/hiding_report.h"

namespace quelvo::e2e {
namespace {

// Under Wine HKEY_CLASSES_ROOT is the machine's key alone: a user's own key hides nothing from what Wine reads,
// but the window finds it where Windows would merge it, and says so.
class HidingEndToEndTest : public EndToEndTest {
protected:
    void TearDown() override {
        EndToEndTest::TearDown();
        // What the planted key and a per-user switch leave for this user.
        for (const RegistryWrite &write : SwitchWrites(Viewers()[0], Scope::CurrentUser)) {
            const std::string key = write.path.substr(0, write.path.rfind('\\'));
            test::DeleteTree(HKEY_CURRENT_USER, Wide(key.substr(std::string("HKEY_CURRENT_USER\\").size())));
        }
    }
};

TEST_F(HidingEndToEndTest, APlantedPerUserKeyIsNamedAfterAClickAndPourMoiAussiWritesThisUsersOwnKeys) {
    test::SetStringValue(HKEY_CURRENT_USER, L"Software\\Classes\\.wrl", L"", L"Someone.Else");
    ASSERT_TRUE(program.Start());
    program.ClickControl(IDC_COMMAND7); // Octaga, for the machine
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = program.FindMessageBox()) != nullptr; }));
    const std::wstring text = program.DialogText(box);
    EXPECT_NE(text.find(L"votre clé HKEY_CURRENT_USER\\Software\\Classes\\.wrl\n"), std::wstring::npos)
        << std::string(text.begin(), text.end());
    EXPECT_NE(text.find(L"\nPour moi aussi\nAnnuler\n"), std::wstring::npos);
    EXPECT_EQ(program.StatusText(), L"Octaga");
    EXPECT_EQ(ReadText("HKEY_CURRENT_USER\\Software\\Classes\\MIME\\Database\\Content Type\\model/vrml\\CLSID"),
              L"(not a string)");

    program.PressDialogButton(box, kChoiceForMeToo);
    for (const RegistryWrite &write : FinalValues(SwitchWrites(Viewers()[5], Scope::CurrentUser))) {
        SCOPED_TRACE(write.path);
        EXPECT_TRUE(WaitFor([&] { return ReadText(write.path) == Wide(write.value); }));
    }
    ASSERT_TRUE(WaitFor([&] { return program.FindMessageBox() == nullptr; }));
    program.Settle();
    EXPECT_EQ(program.FindMessageBox(), nullptr) << "said once";
    EXPECT_EQ(program.StatusText(), L"Octaga");

    // The user's keys now hold the same values: the next click says nothing more.
    program.ClickControl(IDC_COMMAND7);
    program.Settle();
    EXPECT_EQ(program.FindMessageBox(), nullptr);
}

} // namespace
} // namespace quelvo::e2e
