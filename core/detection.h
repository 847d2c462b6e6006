#pragma once
// Recognition of the viewer that handles ".wrl" files.

#include "association.h"
#include "registry.h"
#include "viewer_catalogue.h"

#include <string>

namespace quelvo {

// What the user running the program gets for ".wrl" files, and what the machine holds for every user without a key
// of their own.
inline const std::string kDetectionPath = std::string(kClassesRoot) + ".wrl\\";
inline const std::string kMachineDetectionPath = std::string(kMachineClasses) + ".wrl\\";
// On Windows the classes root's ".wrl" is the user's own key when there is one (it hides the machine's whole), else
// the machine's: a change to either may change what detection finds.
inline const std::string kUserDetectionPath = std::string(kUserClasses) + ".wrl\\";

// The viewer whose detection value the classes root's ".wrl" holds. A missing key, a refused read or a value that is
// not text means no viewer recognised: nullptr.
const ViewerRecord *DetectCurrentViewer(RegistryReader &registry);

} // namespace quelvo
