#include "core/detection.h"

#include "fakes/registry_fake.h"

#include <gtest/gtest.h>

namespace quelvo {
namespace {

struct Recognised {
    std::string wrlValue;
    std::string displayName;
};

TEST(Detection, RecognisesEachViewerByItsWrlValue) {
    const std::vector<Recognised> cases = {
        {"Cortona.Control.1", "Cortona"},
        {"Cortona.Client", "Cortona"}, // what the program's own switch to Cortona leaves
        {"SGI.CosmoPlayer.2", "CosmoPlayer"},
        {"VRML.World", "Blaxxun"},
        {"Octaga.Octaga.wrl", "Octaga"},
        {"Nexternet.NexternetPlayer.1", "Pivoron"},
        {"Anima.AnimaCtrl.1", "Flux"},
        {"X3D.World", "BS Contact"},
    };
    for (const Recognised &c : cases) {
        SCOPED_TRACE(c.wrlValue);
        FakeRegistry registry;
        registry.SetText(kDetectionPath, c.wrlValue);
        const ViewerRecord *viewer = DetectCurrentViewer(registry);
        ASSERT_NE(viewer, nullptr);
        EXPECT_EQ(viewer->displayName, c.displayName);
    }
}

TEST(Detection, NearMissesRecogniseNoViewer) {
    for (const std::string value : {"vrml.World", "VRML.WorlD", "VRML.World ", " VRML.World", "VRML.Wor", "",
                                    "Cortona.control.1", "X3D.World\t", "Some.Other.Plugin"}) {
        SCOPED_TRACE("'" + value + "'");
        FakeRegistry registry;
        registry.SetText(kDetectionPath, value);
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
