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

} // namespace quelvo
