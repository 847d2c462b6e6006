#include "core/association.h"

#include "expected_associations.h"
#include "platform/registry_fake.h"
#include "platform/switch_fakes.h"
#include "recording_display.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace quelvo {
namespace {

// The switch with a backup already in place, so that the registry sees only the switch's own reads and writes.
SwitchOutcome Switch(const ViewerRecord &viewer, FakeRegistry &registry, RecordingDisplay &display) {
    FakeBackupStore backup;
    backup.stored = "kept earlier";
    RecordingNotifier shell;
    return SwitchViewer(viewer, {registry, registry, backup, shell}, display);
}

const ViewerRecord &ViewerNamed(std::string_view name) {
    for (const ViewerRecord &viewer : Viewers())
        if (viewer.displayName == name) return viewer;
    throw std::runtime_error("no viewer " + std::string(name));
}

TEST(AssociationList, EveryViewerWritesItsTwentyNinePairsInOrder) {
    ASSERT_EQ(expected::Associations().size(), Viewers().size());
    for (const auto &[name, wanted] : expected::Associations()) {
        SCOPED_TRACE(name);
        const std::vector<RegistryWrite> actual = BuildAssociationList(ViewerNamed(name));
        ASSERT_EQ(actual.size(), 29u);
        for (std::size_t step = 0; step < wanted.size(); ++step) {
            EXPECT_EQ(actual[step].path, wanted[step].path) << "step " << step + 1;
            EXPECT_EQ(actual[step].value, wanted[step].value) << "step " << step + 1;
        }
    }
}

TEST(AssociationList, EveryViewerWritesTheSamePathsAsASet) {
    // The paired order only permutes; the last switch therefore always overwrites all 29 values.
    auto sortedPaths = [](const ViewerRecord &viewer) {
        std::vector<std::string> paths;
        for (const RegistryWrite &write : BuildAssociationList(viewer))
            paths.push_back(write.path);
        std::sort(paths.begin(), paths.end());
        return paths;
    };
    const std::vector<std::string> reference = sortedPaths(Viewers().front());
    EXPECT_EQ(std::adjacent_find(reference.begin(), reference.end()), reference.end()) << "a path written twice";
    for (const ViewerRecord &viewer : Viewers())
        EXPECT_EQ(sortedPaths(viewer), reference) << viewer.displayName;
}

TEST(Switch, WritesEveryPairThenShowsTheViewerWithExactlyOneCheck) {
    for (const ViewerRecord &viewer : Viewers()) {
        SCOPED_TRACE(viewer.displayName);
        FakeRegistry registry;
        RecordingDisplay display;
        display.checkedItems["mFlux"] = true; // left over from an earlier switch
        const SwitchOutcome outcome = Switch(viewer, registry, display);
        EXPECT_TRUE(outcome.Succeeded());
        EXPECT_EQ(outcome.writesDone, 29u);
        std::vector<FakeRegistry::Write> expected;
        for (const RegistryWrite &write : BuildAssociationList(viewer))
            expected.push_back({write.path, write.value});
        EXPECT_EQ(registry.Writes(), expected);
        EXPECT_EQ(display.statusText, viewer.displayName);
        EXPECT_EQ(display.Checked(), std::vector<std::string>{std::string(viewer.menuItem)});
        EXPECT_EQ(display.checkedItems.size(), 7u);
    }
}

TEST(Switch, RefusedFirstWriteChangesNothing) {
    FakeRegistry registry;
    RecordingDisplay display;
    display.statusText = "Octaga";
    display.checkedItems["mOctaga"] = true;
    const std::string first = BuildAssociationList(ViewerNamed("Flux")).front().path;
    registry.SetText(first, "previous");
    registry.RefuseWrites(first, kRegistryAccessDenied);

    const SwitchOutcome outcome = Switch(ViewerNamed("Flux"), registry, display);

    EXPECT_FALSE(outcome.Succeeded());
    EXPECT_EQ(outcome.error, kRegistryAccessDenied);
    EXPECT_EQ(outcome.failedPath, first);
    EXPECT_EQ(outcome.writesDone, 0u);
    EXPECT_TRUE(registry.Writes().empty());
    EXPECT_EQ(registry.TextAt(first), "previous");
    EXPECT_EQ(display.statusText, "Octaga");
    EXPECT_EQ(display.Checked(), std::vector<std::string>{"mOctaga"});
}

TEST(Switch, RefusedMiddleWriteKeepsEarlierWritesAndStops) {
    FakeRegistry registry;
    RecordingDisplay display;
    display.statusText = "Flux"; // shown before; the half-written registry no longer says so
    display.checkedItems["mFlux"] = true;
    const std::vector<RegistryWrite> list = BuildAssociationList(ViewerNamed("CosmoPlayer"));
    registry.RefuseWrites(list[20].path, kRegistryAccessDenied); // the first classes-root key

    const SwitchOutcome outcome = Switch(ViewerNamed("CosmoPlayer"), registry, display);

    EXPECT_EQ(outcome.writesDone, 20u);
    EXPECT_EQ(outcome.failedPath, "HKEY_CLASSES_ROOT\\.wrl\\");
    ASSERT_EQ(registry.Writes().size(), 20u);
    for (std::size_t i = 0; i < 20; ++i)
        EXPECT_EQ(registry.Writes()[i].path, list[i].path);
    EXPECT_EQ(display.statusText, "") << "detected again: no viewer recognised";
    EXPECT_TRUE(display.Checked().empty());

    // Refused after ".wrl" was written: detection now finds the new viewer.
    registry.AllowWrites(list[20].path);
    registry.RefuseWrites(list[22].path, kRegistryAccessDenied);
    EXPECT_EQ(Switch(ViewerNamed("CosmoPlayer"), registry, display).writesDone, 22u);
    EXPECT_EQ(display.statusText, "CosmoPlayer");
    EXPECT_EQ(display.Checked(), std::vector<std::string>{"mCosmo"});
    registry.AllowWrites(list[22].path);

    // A later complete switch repairs the partial one.
    registry.AllowWrites(list[20].path);
    EXPECT_TRUE(Switch(ViewerNamed("CosmoPlayer"), registry, display).Succeeded());
    EXPECT_EQ(registry.TextAt("HKEY_CLASSES_ROOT\\.x3dz\\"), "SGI.CosmoPlayer.2");
}

TEST(Switch, SameViewerTwiceWritesAllItsValuesAgain) {
    FakeRegistry registry;
    RecordingDisplay display;
    Switch(ViewerNamed("Octaga"), registry, display);
    Switch(ViewerNamed("Octaga"), registry, display);
    std::vector<FakeRegistry::Write> twice;
    for (int round = 0; round < 2; ++round)
        for (const RegistryWrite &write : expected::AssociationsOf("Octaga"))
            twice.push_back({write.path, write.value});
    EXPECT_EQ(registry.Writes(), twice);
    EXPECT_EQ(display.Checked(), std::vector<std::string>{"mOctaga"});
}

TEST(Switch, LastSwitchWinsWhateverCameBefore) {
    for (const ViewerRecord &last : Viewers()) {
        SCOPED_TRACE(last.displayName);
        FakeRegistry registry;
        RecordingDisplay display;
        for (const ViewerRecord &earlier : Viewers())
            Switch(earlier, registry, display);
        Switch(last, registry, display);
        for (const RegistryWrite &write : BuildAssociationList(last))
            EXPECT_EQ(registry.TextAt(write.path), write.value) << write.path;
        EXPECT_EQ(display.statusText, last.displayName);
        EXPECT_EQ(display.Checked(), std::vector<std::string>{std::string(last.menuItem)});
    }
}

} // namespace
} // namespace quelvo
