#pragma once
// The tooltips of the viewer buttons: the viewer's name, and a note when its control is not on this PC.

#include "core/viewer_catalogue.h"
#include "core/installation_probe.h"

#include <windows.h>

#include <string>

namespace quelvo {

std::wstring ViewerTipText(const ViewerRecord &viewer, bool registered);

// One tool per button, the buttons being firstButtonId on in catalogue order. The caller destroys the tooltip
// window with its own.
HWND CreateViewerTips(HWND owner, int firstButtonId, InstallationProbe &probe);

} // namespace quelvo
