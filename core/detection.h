#pragma once
// Start-up recognition of the viewer that handles ".wrl" files.

#include "registry.h"
#include "viewer_catalogue.h"
#include "viewer_display.h"

namespace quelvo {

inline constexpr std::string_view kDetectionPath = "HKEY_CLASSES_ROOT\\.wrl\\";

// Sets the status text and the viewer's check mark on a match, and never clears anything. A missing key, a
// refused read or a value that is not text means no viewer recognised: nullptr.
const ViewerRecord *DetectCurrentViewer(RegistryReader &registry, ViewerDisplay &display);

// The same after a switch, when the display must show only what the registry now says: the viewer found alone
// checked, or an empty status box and no check mark at all.
const ViewerRecord *ShowDetectedViewer(RegistryReader &registry, ViewerDisplay &display);

} // namespace quelvo
