#include "fakes/registry_fake.h"

#include <gtest/gtest.h>

namespace quelvo {
namespace {

// "HKEY_CLASSES_ROOT Key" and "Merged View of HKEY_CLASSES_ROOT", rule by rule.
TEST(FakeRegistry, ClassesRootMergesTheUsersKeysOverTheMachinesAsWindowsDocumentsIt) {
    const std::string machine = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\";
    const std::string user = "HKEY_CURRENT_USER\\Software\\Classes\\";
    const std::string types = "MIME\\Database\\Content Type\\";
    FakeRegistry registry;
    registry.SetText(machine + ".wrl\\", "Machine.Wrl");
    registry.SetText(machine + ".wrl\\OpenWithList\\a", "m");
    registry.SetText(machine + ".x3d\\", "Machine.X3d");
    registry.SetText(machine + types + "model/vrml\\CLSID", "{machine-vrml}");
    registry.SetText(machine + types + "model/x3d\\CLSID", "{machine-x3d}");

    // Without keys of the user's own, the classes root is the machine's.
    EXPECT_EQ(registry.ReadValue("HKEY_CLASSES_ROOT\\.wrl\\").text, "Machine.Wrl");
    EXPECT_EQ(registry.KeyExists("HKEY_CLASSES_ROOT\\.wrl\\OpenWithList\\").state, KeyState::Present);

    // An immediate subkey of the user's hides the machine's of that name whole, values and subkeys, even empty.
    registry.CreateKey(user + ".wrl\\");
    EXPECT_EQ(registry.ReadValue("HKEY_CLASSES_ROOT\\.wrl\\").error, kRegistryFileNotFound);
    EXPECT_EQ(registry.KeyExists("HKEY_CLASSES_ROOT\\.wrl\\").state, KeyState::Present);
    EXPECT_EQ(registry.KeyExists("HKEY_CLASSES_ROOT\\.wrl\\OpenWithList\\").state, KeyState::Absent);
    EXPECT_EQ(registry.ReadValue("HKEY_CLASSES_ROOT\\.x3d\\").text, "Machine.X3d") << "other keys stay the machine's";

    // Under MIME\Database\Content Type the merge goes one level down: per content type.
    registry.CreateKey(user + types + "model/vrml\\");
    EXPECT_EQ(registry.ReadValue("HKEY_CLASSES_ROOT\\" + types + "model/vrml\\CLSID").error, kRegistryFileNotFound);
    EXPECT_EQ(registry.ReadValue("HKEY_CLASSES_ROOT\\" + types + "model/x3d\\CLSID").text, "{machine-x3d}");

    // A value written through the classes root goes to the user's key where that key exists, else the machine's.
    EXPECT_EQ(registry.WriteString("HKEY_CLASSES_ROOT\\.wrl\\", "Through.Root"), kRegistryOk);
    EXPECT_EQ(registry.TextAt(user + ".wrl\\"), "Through.Root");
    EXPECT_EQ(registry.TextAt(machine + ".wrl\\"), "Machine.Wrl");
    EXPECT_EQ(registry.WriteString("HKEY_CLASSES_ROOT\\.x3d\\", "Through.Root"), kRegistryOk);
    EXPECT_EQ(registry.TextAt(machine + ".x3d\\"), "Through.Root");
    EXPECT_EQ(registry.KeyExists(user + ".x3d\\").state, KeyState::Absent);
    // A key that the user lacks below one they have is made under the machine's, and stays hidden from the user.
    EXPECT_EQ(registry.WriteString("HKEY_CLASSES_ROOT\\.wrl\\shell\\", "open"), kRegistryOk);
    EXPECT_EQ(registry.TextAt(machine + ".wrl\\shell\\"), "open");
    EXPECT_EQ(registry.ReadValue("HKEY_CLASSES_ROOT\\.wrl\\shell\\").error, kRegistryFileNotFound);
}

} // namespace
} // namespace quelvo
