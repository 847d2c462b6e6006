#pragma once
// The two window operations through which switching and detection show the current viewer.

#include "viewer_catalogue.h"

#include <string_view>

namespace quelvo {

class ViewerDisplay {
public:
    virtual ~ViewerDisplay() = default;
    virtual void SetStatusText(std::string_view text) = 0;
    virtual void SetViewerChecked(const ViewerRecord &viewer, bool checked) = 0;
};

} // namespace quelvo
