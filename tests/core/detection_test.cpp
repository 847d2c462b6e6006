#include "core/detection.h"

#include "fakes/registry_fake.h"
#include "recording_display.h"

#include <gtest/gtest.h>

namespace quelvo {
namespace {

struct Recognised {
    std::string wrlValue;
    std::string statusText;
    std::string menuItem;
};

TEST(Detection, RecognisesEachViewerByItsWrlValue) {
    const std::vector<Recognised> cases = {
        {"Cortona.Control.1", "Cortona", "mCortona"},
        {"Cortona.Client", "Cortona", "mCortona"}, // what the program's own switch to Cortona leaves
        {"SGI.CosmoPlayer.2", "CosmoPlayer", "mCosmo"},
        {"VRML.World", "Blaxxun", "mBlaxxun"},
        {"Octaga.Octaga.wrl", "Octaga", "mOctaga"},
        {"Nexternet.NexternetPlayer.1", "Pivoron", "mPivoron"},
        {"Anima.AnimaCtrl.1", "Flux", "mFlux"},
        {"X3D.World", "BS Contact", "mbs"},
    };
    for (const Recognised &c : cases) {
        SCOPED_TRACE(c.wrlValue);
        FakeRegistry registry;
        registry.SetText(kDetectionPath, c.wrlValue);
        RecordingDisplay display;
        const ViewerRecord *viewer = DetectCurrentViewer(registry, display);
        ASSERT_NE(viewer, nullptr);
        EXPECT_EQ(viewer->displayName, c.statusText);
        EXPECT_EQ(display.statusText, c.statusText);
        EXPECT_EQ(display.Checked(), std::vector<std::string>{c.menuItem});
        EXPECT_EQ(display.checkedItems.size(), 1u) << "detection touches only the recognised item";
    }
}

TEST(Detection, NearMissesRecogniseNoViewer) {
    for (const std::string value : {"vrml.World", "VRML.WorlD", "VRML.World ", " VRML.World", "VRML.Wor", "",
                                    "Cortona.control.1", "X3D.World\t", "Some.Other.Plugin"}) {
        SCOPED_TRACE("'" + value + "'");
        FakeRegistry registry;
        registry.SetText(kDetectionPath, value);
        RecordingDisplay display;
        EXPECT_EQ(DetectCurrentViewer(registry, display), nullptr);
        EXPECT_EQ(display.statusText, "");
        EXPECT_TRUE(display.checkedItems.empty());
    }
}

TEST(Detection, UnreadableValueMeansNoViewerNotAFailure) {
    FakeRegistry missing;
    FakeRegistry notText;
    notText.SetNonText(kDetectionPath);
    FakeRegistry refused;
    refused.SetText(kDetectionPath, "VRML.World");
    refused.RefuseReads(kDetectionPath, kRegistryAccessDenied);
    for (FakeRegistry *registry : {&missing, &notText, &refused}) {
        RecordingDisplay display;
        EXPECT_EQ(DetectCurrentViewer(*registry, display), nullptr);
        EXPECT_EQ(display.statusText, "");
        EXPECT_TRUE(display.checkedItems.empty());
    }
}

TEST(Detection, NeverClearsWhatIsAlreadyShown) {
    FakeRegistry registry;
    registry.SetText(kDetectionPath, "X3D.World");
    RecordingDisplay display;
    display.statusText = "typed by the user";
    display.checkedItems["mFlux"] = true;
    DetectCurrentViewer(registry, display);
    EXPECT_EQ(display.statusText, "BS Contact");
    EXPECT_EQ(display.Checked(), (std::vector<std::string>{"mFlux", "mbs"}));

    FakeRegistry unknown;
    unknown.SetText(kDetectionPath, "Cortona.Other");
    DetectCurrentViewer(unknown, display);
    EXPECT_EQ(display.statusText, "BS Contact");
    EXPECT_EQ(display.Checked(), (std::vector<std::string>{"mFlux", "mbs"}));
}

} // namespace
} // namespace quelvo
