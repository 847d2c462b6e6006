#include "platform/registry_fake.h"

#include <gtest/gtest.h>

namespace quelvo {
namespace {

TEST(FakeRegistry, KeepsWritesInOrderAndReadsThemBack) {
    FakeRegistry registry;
    EXPECT_EQ(registry.WriteString("HKEY_CLASSES_ROOT\\.wrl\\", "A"), kRegistryOk);
    EXPECT_EQ(registry.WriteString("HKEY_CLASSES_ROOT\\.wrz\\", ""), kRegistryOk);
    EXPECT_EQ(registry.WriteString("HKEY_CLASSES_ROOT\\.wrl\\", "B"), kRegistryOk);
    EXPECT_EQ(registry.Writes(), (std::vector<FakeRegistry::Write>{{"HKEY_CLASSES_ROOT\\.wrl\\", "A"},
                                                                   {"HKEY_CLASSES_ROOT\\.wrz\\", ""},
                                                                   {"HKEY_CLASSES_ROOT\\.wrl\\", "B"}}));
    const ReadResult read = registry.ReadValue("HKEY_CLASSES_ROOT\\.wrl\\");
    EXPECT_EQ(read.status, ReadStatus::Text);
    EXPECT_EQ(read.text, "B");
    EXPECT_EQ(registry.ReadValue("HKEY_CLASSES_ROOT\\.wrz\\").status, ReadStatus::Text);
}

TEST(FakeRegistry, RefusesWhatItIsToldToAndRejectsBadPaths) {
    FakeRegistry registry;
    registry.RefuseWrites("HKEY_CLASSES_ROOT\\.wrl\\", kRegistryAccessDenied);
    EXPECT_EQ(registry.WriteString("HKEY_CLASSES_ROOT\\.wrl\\", "A"), kRegistryAccessDenied);
    EXPECT_EQ(registry.WriteString("HKCR\\.wrl\\", "A"), kRegistryBadPath);
    EXPECT_TRUE(registry.Writes().empty());
    EXPECT_EQ(registry.ReadValue("HKEY_CLASSES_ROOT\\.wrl\\").error, kRegistryFileNotFound);
    registry.AllowWrites("HKEY_CLASSES_ROOT\\.wrl\\");
    EXPECT_EQ(registry.WriteString("HKEY_CLASSES_ROOT\\.wrl\\", "A"), kRegistryOk);
}

} // namespace
} // namespace quelvo
