#include "detection.h"

namespace quelvo {

const ViewerRecord *DetectCurrentViewer(RegistryReader &registry) {
    const ReadResult read = registry.ReadValue(kDetectionPath);
    return read.status == ReadStatus::Text ? FindViewerByDetectionValue(read.text) : nullptr;
}

} // namespace quelvo
