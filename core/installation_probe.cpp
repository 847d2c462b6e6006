#include "installation_probe.h"

namespace quelvo {

bool ControlRegistered(const ViewerRecord &viewer, InstallationProbe &probe) {
    return probe.InprocServer(viewer.vrmlClsid).Any() && probe.InprocServer(viewer.x3dClsid).Any();
}

} // namespace quelvo
