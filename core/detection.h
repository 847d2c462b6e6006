#pragma once
// Start-up recognition of the viewer that handles ".wrl" files.

#include "platform/registry.h"
#include "viewer_catalogue.h"
#include "viewer_display.h"

namespace quelvo {

inline constexpr std::string_view kDetectionPath = "HKEY_CLASSES_ROOT\\.wrl\\";

// Sets the status text and the viewer's check mark on a match, and never clears anything. A missing key, a
// refused read or a value that is not text means no viewer recognised: nullptr.
const ViewerRecord *DetectCurrentViewer(RegistryReader &registry, ViewerDisplay &display);

} // namespace quelvo
