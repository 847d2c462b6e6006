#pragma once
// Whether a viewer's control looks installed: its class registered with a DLL, its file type known.

#include "viewer_catalogue.h"

#include <string_view>

namespace quelvo {

struct ServerViews {
    bool view32 = false;
    bool view64 = false;
    bool Any() const { return view32 || view64; }
};

class InstallationProbe {
public:
    virtual ~InstallationProbe() = default;
    // In which registry views "CLSID\<clsid>\InprocServer32" exists.
    virtual ServerViews InprocServer(std::string_view clsid) = 0;
    virtual bool ProgIdExists(std::string_view progId) = 0;
};

// Every class identifier of the viewer has an InprocServer32 key in the 32-bit or the 64-bit registry view.
bool ControlRegistered(const ViewerRecord &viewer, InstallationProbe &probe);

} // namespace quelvo
