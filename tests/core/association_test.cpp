#include "core/association.h"
#include "core/switch.h"

#include "expected_associations.h"
#include "fakes/registry_fake.h"
#include "fakes/switch_fakes.h"
#include "recording_display.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quelvo {
namespace {

// The switch with a backup already in place, so that the registry sees only the switch's own reads and writes.
SwitchOutcome Switch(const ViewerRecord &viewer, FakeRegistry &registry, RecordingDisplay &display) {
    FakeBackupStore backup;
    backup.stored = "kept earlier";
    RecordingNotifier shell;
    return SwitchViewer(viewer, {registry, registry, backup, shell}, &display);
}

using expected::ViewerNamed;

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

TEST(AssociationList, EveryViewerWritesTheSameTwentyMachinePlaces) {
    // The paired order only permutes; the last switch therefore always overwrites all 20 places.
    auto sortedPaths = [](const ViewerRecord &viewer) {
        std::vector<std::string> paths;
        for (const RegistryWrite &write : FinalValues(BuildAssociationList(viewer)))
            paths.push_back(write.path);
        std::sort(paths.begin(), paths.end());
        return paths;
    };
    const std::vector<std::string> reference = sortedPaths(Viewers().front());
    EXPECT_EQ(reference.size(), 20u);
    for (const ViewerRecord &viewer : Viewers())
        EXPECT_EQ(sortedPaths(viewer), reference) << viewer.displayName;
}

TEST(Switch, MachineWritesNeverGoThroughTheClassesRootEvenWhenTheUserHasKeysOfTheirOwn) {
    // The user's own .wrl and model/vrml keys would take a write through HKEY_CLASSES_ROOT; the machine's must not.
    FakeRegistry registry;
    registry.CreateKey("HKEY_CURRENT_USER\\Software\\Classes\\.wrl\\");
    registry.SetText("HKEY_CURRENT_USER\\Software\\Classes\\MIME\\Database\\Content Type\\model/vrml\\CLSID", "mine");
    RecordingDisplay display;
    ASSERT_TRUE(Switch(ViewerNamed("Octaga"), registry, display).Succeeded());
    for (const FakeRegistry::Write &write : registry.Writes())
        EXPECT_TRUE(write.path.starts_with("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\")) << write.path;
    EXPECT_EQ(registry.TextAt("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.wrl\\"), "Octaga.Octaga.wrl");
    EXPECT_EQ(registry.TextAt("HKEY_CURRENT_USER\\Software\\Classes\\.wrl\\"), std::nullopt);
    EXPECT_EQ(registry.TextAt("HKEY_CURRENT_USER\\Software\\Classes\\MIME\\Database\\Content Type\\model/vrml\\CLSID"),
              "mine");
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
        for (const RegistryWrite &write : expected::AssociationsOf(viewer.displayName))
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
    registry.RefuseWrites(list[11].path, kRegistryAccessDenied); // the first extension key

    const SwitchOutcome outcome = Switch(ViewerNamed("CosmoPlayer"), registry, display);

    EXPECT_EQ(outcome.writesDone, 11u);
    EXPECT_EQ(outcome.failedPath, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.wrl\\");
    ASSERT_EQ(registry.Writes().size(), 11u);
    for (std::size_t i = 0; i < 11; ++i)
        EXPECT_EQ(registry.Writes()[i].path, list[i].path);
    EXPECT_EQ(display.statusText, "") << "detected again: no viewer recognised";
    EXPECT_TRUE(display.Checked().empty());

    // Refused after ".wrl" was written: detection now finds the new viewer.
    registry.AllowWrites(list[20].path);
    registry.RefuseWrites(list[12].path, kRegistryAccessDenied);
    EXPECT_EQ(Switch(ViewerNamed("CosmoPlayer"), registry, display).writesDone, 12u);
    EXPECT_EQ(display.statusText, "CosmoPlayer");
    EXPECT_EQ(display.Checked(), std::vector<std::string>{"mCosmo"});
    registry.AllowWrites(list[12].path);

    // A later complete switch repairs the partial one.
    registry.AllowWrites(list[11].path);
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
        for (const RegistryWrite &write : FinalValues(BuildAssociationList(last)))
            EXPECT_EQ(registry.TextAt(write.path), write.value) << write.path;
        EXPECT_EQ(display.statusText, last.displayName);
        EXPECT_EQ(display.Checked(), std::vector<std::string>{std::string(last.menuItem)});
    }
}

} // namespace
} // namespace quelvo
