#include "core/registry_path.h"

#include <gtest/gtest.h>

namespace quelvo {
namespace {

TEST(RegistryPath, SplitsRootKeyAndValueName) {
    const auto contentType =
        ParseRegistryPath("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\MIME\\Database\\Content Type\\model/vrml\\CLSID");
    ASSERT_TRUE(contentType);
    EXPECT_EQ(contentType->root, RegistryRoot::LocalMachine);
    EXPECT_EQ(contentType->key, "SOFTWARE\\Classes\\MIME\\Database\\Content Type\\model/vrml");
    EXPECT_EQ(contentType->valueName, "CLSID");

    const auto defaultValue = ParseRegistryPath("HKEY_CLASSES_ROOT\\.x3dv.gz\\");
    ASSERT_TRUE(defaultValue);
    EXPECT_EQ(defaultValue->root, RegistryRoot::ClassesRoot);
    EXPECT_EQ(defaultValue->key, ".x3dv.gz");
    EXPECT_EQ(defaultValue->valueName, "");

    const auto user = ParseRegistryPath("HKEY_CURRENT_USER\\Software\\Quelvo Tests\\name");
    ASSERT_TRUE(user);
    EXPECT_EQ(user->root, RegistryRoot::CurrentUser);
}

TEST(RegistryPath, RejectsPathsThatNameNoKey) {
    for (const char *bad : {"", "HKEY_CLASSES_ROOT", "HKEY_CLASSES_ROOT\\", "HKEY_CLASSES_ROOT\\value", "HKCR\\.wrl\\",
                            "hkey_classes_root\\.wrl\\", "HKEY_USERS\\x\\", "\\.wrl\\", "HKEY_CLASSES_ROOT\\a\\\\b\\",
                            "HKEY_CLASSES_ROOT\\\\"})
        EXPECT_FALSE(ParseRegistryPath(bad)) << bad;
}

} // namespace
} // namespace quelvo
