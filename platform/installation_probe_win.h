#pragma once

#include "core/installation_probe.h"

namespace quelvo {

class Win32InstallationProbe : public InstallationProbe {
public:
    ServerViews InprocServer(std::string_view clsid) override;
    bool ProgIdExists(std::string_view progId) override;
};

} // namespace quelvo
