#pragma once
// Viewer names as people type them on a command line.

#include "viewer_catalogue.h"

namespace quelvo {

// Ignores case, blanks and hyphens: "bs-contact", "BS Contact" and "bscontact" are one viewer. nullptr if none.
const ViewerRecord *FindViewerByName(std::string_view name);

} // namespace quelvo

#include <vector>

namespace quelvo {

// The other viewers registered under one of this viewer's class identifiers: the registry cannot tell them apart.
std::vector<const ViewerRecord *> ViewersSharingAClass(const ViewerRecord &viewer);

} // namespace quelvo
