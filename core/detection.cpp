#include "detection.h"

namespace quelvo {

const ViewerRecord *DetectCurrentViewer(RegistryReader &registry, ViewerDisplay &display) {
    const ReadResult read = registry.ReadValue(kDetectionPath);
    if (read.status != ReadStatus::Text) return nullptr;
    const ViewerRecord *viewer = FindViewerByDetectionValue(read.text);
    if (viewer) {
        display.SetStatusText(viewer->displayName);
        display.SetViewerChecked(*viewer, true);
    }
    return viewer;
}

const ViewerRecord *ShowDetectedViewer(RegistryReader &registry, ViewerDisplay &display) {
    const ReadResult read = registry.ReadValue(kDetectionPath);
    const ViewerRecord *found = read.status == ReadStatus::Text ? FindViewerByDetectionValue(read.text) : nullptr;
    display.SetStatusText(found ? found->displayName : std::string_view());
    for (const ViewerRecord &viewer : Viewers())
        display.SetViewerChecked(viewer, &viewer == found);
    return found;
}

} // namespace quelvo
