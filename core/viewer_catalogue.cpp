#include "viewer_catalogue.h"

#include <algorithm>

namespace quelvo {
namespace {

constexpr ExtensionSet kNone{};
constexpr ExtensionSet kAll = ExtensionSet::All();
constexpr ExtensionSet kCompressed{".wrl.gz", ".x3d.gz", ".x3dv.gz"};

constexpr std::array<ViewerRecord, kViewerCount> kViewers = {{
    {"Cortona", "Command1", "mCortona", "{86A88967-7A20-11D2-8EDA-00600818EDB1}",
     "{86A88967-7A20-11D2-8EDA-00600818EDB1}", "Cortona.Client", kNone,
     ExtensionSet{".wrl", ".wrz", ".x3d", ".x3dv", ".x3dvz", ".x3dz"}, "Cortona.Control.1", ContentTypeOrder::Standard},
    {"Blaxxun", "Command3", "mBlaxxun", "{4B6E3013-6E45-11D0-9309-0020AFE05CC8}",
     "{4B6E3013-6E45-11D0-9309-0020AFE05CC8}", "VRML.World", kNone, ExtensionSet{".wrl", ".wrz"}, "VRML.World",
     ContentTypeOrder::Standard},
    {"Pivoron", "Command4", "mPivoron", "{332F83AF-3367-45C8-819F-9F7AE87410F8}",
     "{332F83AF-3367-45C8-819F-9F7AE87410F8}", "Nexternet.NexternetPlayer.1", kNone, kAll,
     "Nexternet.NexternetPlayer.1", ContentTypeOrder::Standard},
    {"CosmoPlayer", "Command5", "mCosmo", "{06646724-bcf3-11d0-9518-00c04fc2dd79}",
     "{660D0125-4C92-4EDD-B7B4-B36857F1449E}", "SGI.CosmoPlayer.2", kAll, kAll, "SGI.CosmoPlayer.2",
     ContentTypeOrder::Paired},
    {"BS Contact", "Command6", "mbs", "{4B6E3013-6E45-11D0-9309-0020AFE05CC8}",
     "{4B6E3013-6E45-11D0-9309-0020AFE05CC8}", "X3D.World", kNone, kAll, "X3D.World", ContentTypeOrder::Standard},
    {"Octaga", "Command7", "mOctaga", "{660D0125-4C92-4EDD-B7B4-B36857F1449E}",
     "{660D0125-4C92-4EDD-B7B4-B36857F1449E}", "Octaga.Octaga.wrl", kNone, kAll, "Octaga.Octaga.wrl",
     ContentTypeOrder::Standard},
    {"Flux", "Command8", "mFlux", "{918B202D-8E8F-4649-A70B-E9B178FEDC58}", "{918B202D-8E8F-4649-A70B-E9B178FEDC58}",
     "Anima.AnimaCtrl.1", kCompressed, kAll, "Anima.AnimaCtrl.1", ContentTypeOrder::Standard},
}};

// Fewer rows than kViewerCount would leave empty ones at the end.
static_assert(std::ranges::none_of(kViewers, [](const ViewerRecord &viewer) { return viewer.displayName.empty(); }),
              "one row per viewer");

// The switch to Cortona stores its extension ProgID, not its detection value; every other viewer stores its
// detection value, so accepting the ProgID as well lets the program recognise its own choice at the next start.
bool Recognises(const ViewerRecord &viewer, std::string_view value) {
    return value == viewer.detectionValue || value == viewer.extensionProgId;
}

} // namespace

std::span<const ViewerRecord> Viewers() {
    return kViewers;
}

std::size_t ViewerIndex(const ViewerRecord &viewer) {
    return static_cast<std::size_t>(&viewer - kViewers.data());
}

const ViewerRecord *FindViewerByDetectionValue(std::string_view value) {
    const ViewerRecord *found = nullptr;
    for (const ViewerRecord &viewer : kViewers)
        if (Recognises(viewer, value)) found = &viewer;
    return found;
}

} // namespace quelvo
