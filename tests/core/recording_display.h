#pragma once
// Records what switching and detection show, as the window would.

#include "core/viewer_display.h"

#include <map>
#include <string>
#include <vector>

namespace quelvo {

class RecordingDisplay : public ViewerDisplay {
public:
    void SetStatusText(std::string_view text) override { statusText = text; }
    void SetViewerChecked(const ViewerRecord &viewer, bool checked) override {
        checkedItems[std::string(viewer.menuItem)] = checked;
    }
    std::vector<std::string> Checked() const {
        std::vector<std::string> names;
        for (const auto &[item, checked] : checkedItems)
            if (checked) names.push_back(item);
        return names;
    }

    std::string statusText;
    std::map<std::string, bool> checkedItems;
};

} // namespace quelvo
