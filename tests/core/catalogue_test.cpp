#include "core/viewer_catalogue.h"

#include <gtest/gtest.h>

namespace quelvo {
namespace {

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
