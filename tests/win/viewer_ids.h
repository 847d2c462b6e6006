#pragma once
// The resource IDs of each viewer's button and menu item: the first of each range plus the viewer's index in the
// catalogue, stated once here for the in-process and the end-to-end tests.

#include "core/viewer_catalogue.h"
#include "ui/resource.h"

#include <cstddef>

namespace quelvo::test {

struct ViewerIds {
    int button;
    int menuItem;
};

inline ViewerIds IdsOf(const ViewerRecord &viewer) {
    const std::size_t index = ViewerIndex(viewer);
    return {IDC_COMMAND1 + static_cast<int>(index), IDM_MCORTONA + static_cast<int>(index)};
}

} // namespace quelvo::test
