#include "core/association.h"

#include "platform/registry_fake.h"
#include "platform/switch_fakes.h"
#include "recording_display.h"

#include <gtest/gtest.h>

#include <map>

namespace quelvo {
namespace {

const std::string kCt = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\MIME\\Database\\Content Type\\";
const std::vector<std::string> kStandardTypes = {
    "model/vrml",     "model/x3d",     "model/fx3d",     "model/x3d+xml",     "model/x3d+vrml",    "model/x3d-vrml",
    "x-world/x-vrml", "x-world/x-x3d", "x-world/x-fx3d", "x-world/x-x3d+xml", "x-world/x-x3d-vrml"};
const std::vector<std::string> kPairedTypes = {
    "model/vrml",     "model/x3d",      "x-world/x-vrml", "x-world/x-x3d",     "model/fx3d",        "model/x3d+xml",
    "model/x3d+vrml", "model/x3d-vrml", "x-world/x-fx3d", "x-world/x-x3d+xml", "x-world/x-x3d-vrml"};
const std::vector<std::string> kExtensionNames = {".wrl",  ".wrl.gz",  ".wrz",   ".x3d", ".x3d.gz",
                                                  ".x3dv", ".x3dv.gz", ".x3dvz", ".x3dz"};

// The switch with a backup already in place, so that the registry sees only the switch's own reads and writes.
SwitchOutcome Switch(const ViewerRecord &viewer, FakeRegistry &registry, RecordingDisplay &display) {
    FakeBackupStore backup;
    backup.stored = "kept earlier";
    RecordingNotifier shell;
    return SwitchViewer(viewer, {registry, registry, backup, shell}, display);
}

struct ExpectedSwitch {
    std::vector<std::string> contentTypes;
    std::vector<std::string> contentTypeValues;
    std::vector<std::string> machineValues;
    std::vector<std::string> classesRootValues;
};

std::vector<std::string> Times(int count, const std::string &value) {
    return std::vector<std::string>(count, value);
}

std::vector<RegistryWrite> ToWrites(const ExpectedSwitch &expected) {
    std::vector<RegistryWrite> writes;
    for (std::size_t i = 0; i < 11; ++i)
        writes.push_back({kCt + expected.contentTypes[i] + "\\CLSID", expected.contentTypeValues[i]});
    for (std::size_t i = 0; i < 9; ++i)
        writes.push_back(
            {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\" + kExtensionNames[i] + "\\", expected.machineValues[i]});
    for (std::size_t i = 0; i < 9; ++i)
        writes.push_back({"HKEY_CLASSES_ROOT\\" + kExtensionNames[i] + "\\", expected.classesRootValues[i]});
    return writes;
}

const std::map<std::string, ExpectedSwitch> &ExpectedSwitches() {
    const std::string cosmo = "{06646724-bcf3-11d0-9518-00c04fc2dd79}";
    const std::string octaga = "{660D0125-4C92-4EDD-B7B4-B36857F1449E}";
    const std::string none;
    static const std::map<std::string, ExpectedSwitch> expected = {
        {"Cortona",
         {kStandardTypes,
          Times(11, "{86A88967-7A20-11D2-8EDA-00600818EDB1}"),
          Times(9, none),
          {"Cortona.Client", none, "Cortona.Client", "Cortona.Client", none, "Cortona.Client", none, "Cortona.Client",
           "Cortona.Client"}}},
        {"Blaxxun",
         {kStandardTypes,
          Times(11, "{4B6E3013-6E45-11D0-9309-0020AFE05CC8}"),
          Times(9, none),
          {"VRML.World", none, "VRML.World", none, none, none, none, none, none}}},
        {"Pivoron",
         {kStandardTypes, Times(11, "{332F83AF-3367-45C8-819F-9F7AE87410F8}"), Times(9, none),
          Times(9, "Nexternet.NexternetPlayer.1")}},
        {"CosmoPlayer",
         {kPairedTypes,
          {cosmo, octaga, cosmo, octaga, octaga, octaga, cosmo, cosmo, octaga, octaga, cosmo},
          Times(9, "SGI.CosmoPlayer.2"),
          Times(9, "SGI.CosmoPlayer.2")}},
        {"BS Contact",
         {kStandardTypes, Times(11, "{4B6E3013-6E45-11D0-9309-0020AFE05CC8}"), Times(9, none), Times(9, "X3D.World")}},
        {"Octaga", {kStandardTypes, Times(11, octaga), Times(9, none), Times(9, "Octaga.Octaga.wrl")}},
        {"Flux",
         {kStandardTypes,
          Times(11, "{918B202D-8E8F-4649-A70B-E9B178FEDC58}"),
          {none, "Anima.AnimaCtrl.1", none, none, "Anima.AnimaCtrl.1", none, "Anima.AnimaCtrl.1", none, none},
          Times(9, "Anima.AnimaCtrl.1")}},
    };
    return expected;
}

const ViewerRecord &ViewerNamed(std::string_view name) {
    for (const ViewerRecord &viewer : Viewers())
        if (viewer.displayName == name) return viewer;
    throw std::runtime_error("no viewer " + std::string(name));
}

TEST(AssociationList, EveryViewerWritesItsTwentyNinePairsInOrder) {
    ASSERT_EQ(ExpectedSwitches().size(), Viewers().size());
    for (const auto &[name, expected] : ExpectedSwitches()) {
        SCOPED_TRACE(name);
        const std::vector<RegistryWrite> actual = BuildAssociationList(ViewerNamed(name));
        const std::vector<RegistryWrite> wanted = ToWrites(expected);
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
    const std::vector<RegistryWrite> list = BuildAssociationList(ViewerNamed("CosmoPlayer"));
    registry.RefuseWrites(list[20].path, kRegistryAccessDenied); // the first classes-root key

    const SwitchOutcome outcome = Switch(ViewerNamed("CosmoPlayer"), registry, display);

    EXPECT_EQ(outcome.writesDone, 20u);
    EXPECT_EQ(outcome.failedPath, "HKEY_CLASSES_ROOT\\.wrl\\");
    ASSERT_EQ(registry.Writes().size(), 20u);
    for (std::size_t i = 0; i < 20; ++i)
        EXPECT_EQ(registry.Writes()[i].path, list[i].path);
    EXPECT_EQ(display.statusText, "");
    EXPECT_TRUE(display.checkedItems.empty());

    // A later complete switch repairs the partial one.
    registry.AllowWrites(list[20].path);
    EXPECT_TRUE(Switch(ViewerNamed("CosmoPlayer"), registry, display).Succeeded());
    EXPECT_EQ(registry.TextAt("HKEY_CLASSES_ROOT\\.x3dz\\"), "SGI.CosmoPlayer.2");
}

TEST(Switch, SameViewerTwiceWritesTheSameValuesAgain) {
    FakeRegistry registry;
    RecordingDisplay display;
    Switch(ViewerNamed("Octaga"), registry, display);
    Switch(ViewerNamed("Octaga"), registry, display);
    ASSERT_EQ(registry.Writes().size(), 58u);
    for (std::size_t i = 0; i < 29; ++i)
        EXPECT_EQ(registry.Writes()[i], registry.Writes()[i + 29]);
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
