#include "core/detection.h"

#include "platform/registry_fake.h"
#include "expected_detection.h"
#include "recording_display.h"

#include <gtest/gtest.h>

namespace quelvo {
namespace {

TEST(Detection, RecognisesEachViewerByItsWrlValue) {
    for (const expected::WrlOwner &owner : expected::kWrlOwners) {
        SCOPED_TRACE(owner.wrlValue);
        FakeRegistry registry;
        registry.SetText(kDetectionPath, std::string(owner.wrlValue));
        RecordingDisplay display;
        const ViewerRecord *viewer = DetectCurrentViewer(registry, display);
        ASSERT_NE(viewer, nullptr);
        EXPECT_EQ(viewer->displayName, owner.viewer);
        EXPECT_EQ(display.statusText, owner.viewer);
        EXPECT_EQ(display.Checked(), std::vector<std::string>{std::string(viewer->menuItem)});
        EXPECT_EQ(display.checkedItems.size(), 1u) << "detection touches only the recognised item";
    }
}

TEST(Detection, NearMissesRecogniseNoViewer) {
    for (const std::string_view value : expected::kWrlNearMisses) {
        SCOPED_TRACE(::testing::PrintToString(std::string(value)));
        FakeRegistry registry;
        registry.SetText(kDetectionPath, std::string(value));
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
