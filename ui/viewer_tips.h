#pragma once
// The tooltips of the viewer buttons: the viewer's name, and a note on the first thing that keeps it from showing
// 3D content on this PC (its control, what blocks it, the browser).

#include "core/chain.h"

#include <windows.h>

#include <string>

namespace quelvo {

std::wstring ViewerTipText(const ViewerRecord &viewer, const Link *blocker);

// One tool per viewer's button. The caller destroys the tooltip window with its own.
HWND CreateViewerTips(HWND owner, RegistryReader &registry, SystemFacts &system);

} // namespace quelvo
