#pragma once
// Windows' default-associations file (the format of "Dism /Export-DefaultAppAssociations"), which Group Policy,
// DISM and Intune apply to each user's own defaults at logon: the route fleets have to the per-user choice.

#include "viewer_catalogue.h"

#include <string>
#include <vector>

namespace quelvo {

// One Association per extension the viewer takes in the classes root that the shell looks up, none for the others.
// UTF-8, CRLF.
std::string DefaultAssociationsXml(const ViewerRecord &viewer);
// The extensions the viewer takes that the file leaves out, since the shell never looks them up.
std::vector<std::string_view> ExtensionsLeftOut(const ViewerRecord &viewer);

// Text as an XML attribute value between double quotes; characters XML 1.0 cannot carry become U+FFFD.
std::string XmlAttribute(std::string_view text);

} // namespace quelvo
