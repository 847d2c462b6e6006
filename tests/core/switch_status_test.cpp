#include "core/backup.h"
#include "core/status.h"

#include "platform/registry_fake.h"
#include "platform/switch_fakes.h"
#include "recording_display.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quelvo {
namespace {

TEST(Status, UserKeySplitsTheTwoNamesOfAnExtensionAndHides) {
    // With a per-user .wrl key, the classes-root write lands there and the machine key keeps its own value.
    FakeRegistry registry;
    for (const RegistryWrite &write : BuildAssociationList(Viewers()[0])) // Cortona: "" on the machine keys
        registry.SetText(write.path, write.value);
    registry.SetText("HKEY_CURRENT_USER\\Software\\Classes\\.wrl\\", "Cortona.Client");
    const StatusReport split = CheckStatus(registry);
    const auto matches = [&](std::string_view path) {
        for (const LocationStatus &location : split.locations)
            if (location.path == path) return location.matches;
        return false;
    };
    EXPECT_TRUE(matches("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.wrl\\"));
    EXPECT_TRUE(matches("HKEY_CLASSES_ROOT\\.wrl\\"));
    EXPECT_FALSE(matches("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.wrz\\")) << "one key: the later write stays";
    ASSERT_EQ(split.hiding.size(), 1u);
    EXPECT_EQ(split.hiding[0].kind, HidingValue::Kind::UserDefault);
    EXPECT_EQ(split.ExitCode(), 1);

    // Where the classes root merges no per-user key (Wine), both names read the later write: consistent, and the
    // per-user key is still reported as what would hide the machine's value on Windows.
    for (const RegistryWrite &write : BuildAssociationList(Viewers()[0]))
        if (write.path.starts_with(kClassesRoot))
            registry.SetText(std::string(kMachineClasses) + write.path.substr(kClassesRoot.size()), write.value);
    const StatusReport merged = CheckStatus(registry);
    EXPECT_TRUE(std::ranges::all_of(merged.locations, &LocationStatus::matches));
    EXPECT_EQ(merged.hiding.size(), 1u);

    registry = FakeRegistry();
    EXPECT_EQ(CheckStatus(registry).ExitCode(), 3);
}

} // namespace
} // namespace quelvo
