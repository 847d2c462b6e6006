#include "core/detection.h"

#include "expected_detection.h"
#include "fakes/registry_fake.h"

#include <gtest/gtest.h>

namespace quelvo {
namespace {

TEST(Detection, RecognisesEachViewerByItsWrlValue) {
    for (const expected::WrlOwner &owner : expected::kWrlOwners) {
        SCOPED_TRACE(owner.wrlValue);
        FakeRegistry registry;
        registry.SetText(kDetectionPath, std::string(owner.wrlValue));
        const ViewerRecord *viewer = DetectCurrentViewer(registry);
        ASSERT_NE(viewer, nullptr);
        EXPECT_EQ(viewer->displayName, owner.viewer);
    }
}

TEST(Detection, NearMissesRecogniseNoViewer) {
    for (const std::string_view value : expected::kWrlNearMisses) {
        SCOPED_TRACE(::testing::PrintToString(std::string(value)));
        FakeRegistry registry;
        registry.SetText(kDetectionPath, std::string(value));
        EXPECT_EQ(DetectCurrentViewer(registry), nullptr);
    }
}

TEST(Detection, UnreadableValueMeansNoViewerNotAFailure) {
    FakeRegistry missing;
    FakeRegistry notText;
    notText.SetNonText(kDetectionPath);
    FakeRegistry refused;
    refused.SetText(kDetectionPath, "VRML.World");
    refused.RefuseReads(kDetectionPath, kRegistryAccessDenied);
    for (FakeRegistry *registry : {&missing, &notText, &refused})
        EXPECT_EQ(DetectCurrentViewer(*registry), nullptr);
}

} // namespace
} // namespace quelvo
