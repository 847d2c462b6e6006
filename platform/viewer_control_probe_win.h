#pragma once

#include "viewer_control_probe.h"

namespace quelvo {

// Every class identifier of the viewer has an InprocServer32 key in the 32-bit or the 64-bit registry view.
class RegistryViewerControlProbe : public ViewerControlProbe {
public:
    bool IsRegistered(const ViewerRecord &viewer) override;
};

} // namespace quelvo
