#include "core/backup.h"
#include "core/status.h"

#include "platform/registry_fake.h"
#include "platform/switch_fakes.h"
#include "recording_display.h"

#include <gtest/gtest.h>

namespace quelvo {
namespace {

const ViewerRecord &Named(std::string_view name) {
    for (const ViewerRecord &viewer : Viewers())
        if (viewer.displayName == name) return viewer;
    throw std::runtime_error("no such viewer");
}

struct SwitchBench {
    SwitchOutcome Switch(const ViewerRecord &viewer, Scope scope = Scope::Machine) {
        return SwitchViewer(viewer, {registry, registry, backup, shell, scope}, display);
    }
    FakeRegistry registry;
    FakeBackupStore backup;
    RecordingNotifier shell;
    RecordingDisplay display;
};

TEST(SwitchBackup, FirstSwitchKeepsTheValuesBeforeItAndLaterOnesLeaveThemAlone) {
    SwitchBench bench;
    bench.registry.SetText("HKEY_CLASSES_ROOT\\.wrl\\", "Before.Quelvo");
    const std::string before = BackupFileBytes(Scope::Machine, bench.registry);

    EXPECT_EQ(bench.Switch(Named("Octaga")).backup, BackupResult::Written);
    EXPECT_EQ(bench.backup.stored, before);
    EXPECT_EQ(bench.Switch(Named("Flux")).backup, BackupResult::NotNeeded);
    EXPECT_EQ(bench.backup.stored, before);
    EXPECT_EQ(bench.shell.calls, 2);

    // A per-user switch changes nothing of the machine's and keeps no machine backup.
    SwitchBench user;
    EXPECT_TRUE(user.Switch(Named("Octaga"), Scope::CurrentUser).Succeeded());
    EXPECT_FALSE(user.backup.stored);
    for (const FakeRegistry::Write &write : user.registry.Writes())
        EXPECT_TRUE(write.path.starts_with("HKEY_CURRENT_USER\\Software\\Classes\\")) << write.path;
}

TEST(SwitchBackup, BackupThatCannotBeWrittenDoesNotStopTheSwitch) {
    SwitchBench bench;
    bench.backup.refuseWith = kRegistryAccessDenied;
    const SwitchOutcome outcome = bench.Switch(Named("Pivoron"));
    EXPECT_EQ(outcome.backup, BackupResult::Failed);
    EXPECT_EQ(outcome.backupError, kRegistryAccessDenied);
    EXPECT_TRUE(outcome.Succeeded());
    EXPECT_EQ(outcome.writesDone, 29u);
}

TEST(SwitchNotice, ShellHearsOnceWhenSomethingWasWrittenAndNeverOtherwise) {
    const std::vector<RegistryWrite> list = BuildAssociationList(Named("Cortona"));
    for (auto [refused, calls] : {std::pair<int, int>{-1, 1}, {0, 0}, {1, 1}, {28, 1}}) {
        SCOPED_TRACE(refused);
        SwitchBench bench;
        if (refused >= 0) bench.registry.RefuseWrites(list[static_cast<std::size_t>(refused)].path, 5);
        bench.Switch(Named("Cortona"));
        EXPECT_EQ(bench.shell.calls, calls);
    }
}

// The registry as Windows keeps it when the user has no key of their own: an extension's machine key and its
// classes-root key are one, so each holds the later write.
void SwitchAsOneTree(FakeRegistry &registry, const ViewerRecord &viewer) {
    for (const RegistryWrite &write : BuildAssociationList(viewer)) {
        registry.SetText(write.path, write.value);
        for (auto [from, to] : {std::pair<std::string_view, std::string_view>{"HKEY_CLASSES_ROOT\\",
                                                                            "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\"},
                                {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\", "HKEY_CLASSES_ROOT\\"}})
            if (write.path.starts_with(from)) registry.SetText(std::string(to) + write.path.substr(from.size()), write.value);
    }
}

TEST(Status, ConsistentAfterEverySwitchDriftedOrHiddenOtherwise) {
    for (const ViewerRecord &viewer : Viewers()) {
        SCOPED_TRACE(viewer.displayName);
        FakeRegistry registry;
        SwitchAsOneTree(registry, viewer);
        const StatusReport report = CheckStatus(registry);
        EXPECT_EQ(report.viewer, &viewer);
        EXPECT_EQ(report.ExitCode(), 0);
        EXPECT_TRUE(report.hiding.empty());
    }

    FakeRegistry registry;
    SwitchAsOneTree(registry, Named("Cortona"));
    const std::string changed = BuildAssociationList(Named("Cortona"))[4].path;
    registry.SetText(changed, "by hand");
    const StatusReport drifted = CheckStatus(registry);
    EXPECT_EQ(drifted.ExitCode(), 1);
    for (const LocationStatus &location : drifted.locations)
        EXPECT_EQ(location.matches, location.path != changed) << location.path;

    registry.SetText(changed, "{86A88967-7A20-11D2-8EDA-00600818EDB1}");
    registry.SetText("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.x3d\\"
                     "UserChoice\\ProgId",
                     "Other.Player");
    const StatusReport hidden = CheckStatus(registry);
    ASSERT_EQ(hidden.hiding.size(), 1u);
    EXPECT_EQ(hidden.hiding[0].kind, HidingValue::Kind::UserChoice);
    EXPECT_EQ(hidden.hiding[0].extension, ".x3d");
    EXPECT_EQ(hidden.ExitCode(), 1);
}

TEST(Status, UserKeySplitsTheTwoNamesSoEachHoldsItsOwnWrite) {
    // With a per-user .wrl key, the classes-root write lands there and the machine key keeps its own value.
    FakeRegistry registry;
    SwitchAsOneTree(registry, Named("Cortona"));
    registry.SetText("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.wrl\\", "");
    registry.SetText("HKEY_CURRENT_USER\\Software\\Classes\\.wrl\\", "Cortona.Client");
    const StatusReport report = CheckStatus(registry);
    for (const LocationStatus &location : report.locations)
        EXPECT_TRUE(location.matches) << location.path;
    ASSERT_EQ(report.hiding.size(), 1u);
    EXPECT_EQ(report.hiding[0].kind, HidingValue::Kind::UserDefault);

    registry = FakeRegistry();
    const StatusReport none = CheckStatus(registry);
    EXPECT_EQ(none.viewer, nullptr);
    EXPECT_EQ(none.ExitCode(), 3);
    EXPECT_EQ(none.locations.size(), 29u);
}

} // namespace
} // namespace quelvo
