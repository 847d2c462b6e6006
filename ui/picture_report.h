#pragma once
// What keeps a viewer from showing 3D content on this PC, as the window says it: the first broken link among its
// control, what blocks it and the browser, in a tooltip and once per cause after a switch.

#include "choice_dialog.h"
#include "core/chain.h"

#include <optional>
#include <string>

namespace quelvo {

// The first of control, blocked and browser that is broken; nullopt when none is (ok or unknown).
std::optional<Link> PictureBlocker(const ViewerRecord &viewer, RegistryReader &registry, SystemFacts &system);

// A few words for the viewer's tooltip.
std::wstring PictureTipNote(LinkId id);

// The message after a switch: plain French, with what to do.
std::wstring PictureParagraph(const ViewerRecord &viewer, const Link &blocker);
Choice PictureChoice(const ViewerRecord &viewer, const Link &blocker);

} // namespace quelvo
