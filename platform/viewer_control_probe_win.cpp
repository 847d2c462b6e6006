#include "viewer_control_probe_win.h"

#include "installation_probe_win.h"

namespace quelvo {

bool RegistryViewerControlProbe::IsRegistered(const ViewerRecord &viewer) {
    Win32InstallationProbe probe;
    return probe.InprocServer(viewer.vrmlClsid).Any() && probe.InprocServer(viewer.x3dClsid).Any();
}

} // namespace quelvo
