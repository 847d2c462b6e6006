#include "core/viewer_catalogue.h"

#include <gtest/gtest.h>

#include <set>

namespace quelvo {
namespace {

TEST(Catalogue, ButtonsAndMenuItemsMapOneToOneInButtonOrder) {
    const std::vector<std::pair<std::string_view, std::string_view>> expected = {
        {"Command1", "mCortona"}, {"Command3", "mBlaxxun"}, {"Command4", "mPivoron"}, {"Command5", "mCosmo"},
        {"Command6", "mbs"},      {"Command7", "mOctaga"},  {"Command8", "mFlux"}};
    ASSERT_EQ(Viewers().size(), expected.size());
    std::set<std::string_view> names;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(Viewers()[i].button, expected[i].first);
        EXPECT_EQ(Viewers()[i].menuItem, expected[i].second);
        names.insert(Viewers()[i].displayName);
    }
    EXPECT_EQ(names.size(), 7u);
}

TEST(Catalogue, SharedClassIdentifiersAreTellApartOnlyByTheirWrlValue) {
    const ViewerRecord *blaxxun = FindViewerByDetectionValue("VRML.World");
    const ViewerRecord *bsContact = FindViewerByDetectionValue("X3D.World");
    ASSERT_TRUE(blaxxun && bsContact);
    EXPECT_EQ(blaxxun->vrmlClsid, bsContact->vrmlClsid);
    EXPECT_EQ(blaxxun->x3dClsid, bsContact->x3dClsid);
    EXPECT_NE(blaxxun, bsContact);

    const ViewerRecord *cosmo = FindViewerByDetectionValue("SGI.CosmoPlayer.2");
    const ViewerRecord *octaga = FindViewerByDetectionValue("Octaga.Octaga.wrl");
    ASSERT_TRUE(cosmo && octaga);
    EXPECT_EQ(cosmo->x3dClsid, octaga->vrmlClsid);
    EXPECT_NE(cosmo->vrmlClsid, cosmo->x3dClsid);
}

TEST(Catalogue, ExtensionSetsNameTheirMembersOnly) {
    const ExtensionSet compressed{".wrl.gz", ".x3d.gz", ".x3dv.gz"};
    for (std::string_view extension : kExtensions)
        EXPECT_EQ(compressed.Contains(extension), extension.ends_with(".gz")) << extension;
    EXPECT_FALSE(ExtensionSet{}.Contains(".wrl"));
    for (std::string_view extension : kExtensions)
        EXPECT_TRUE(ExtensionSet::All().Contains(extension));
}

} // namespace
} // namespace quelvo
