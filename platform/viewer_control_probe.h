#pragma once
// Whether a viewer's control is registered on this machine, as the window's tooltips tell the user.

#include "core/viewer_catalogue.h"

namespace quelvo {

class ViewerControlProbe {
public:
    virtual ~ViewerControlProbe() = default;
    virtual bool IsRegistered(const ViewerRecord &viewer) = 0;
};

} // namespace quelvo
