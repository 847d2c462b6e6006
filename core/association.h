#pragma once
// The 29 registry writes that make one viewer the default handler, and the switch that performs them.

#include "platform/registry.h"
#include "viewer_catalogue.h"
#include "viewer_display.h"

#include <cstddef>
#include <string>
#include <vector>

namespace quelvo {

struct RegistryWrite {
    std::string path;
    std::string value;
    bool operator==(const RegistryWrite &) const = default;
};

// Content types first (in the viewer's order), then the machine extension keys, then the classes-root ones.
std::vector<RegistryWrite> BuildAssociationList(const ViewerRecord &viewer);

struct SwitchOutcome {
    std::size_t writesDone = 0;
    std::string failedPath;            // empty when every write succeeded
    RegistryError error = kRegistryOk; // the system's code for the refused write
    bool Succeeded() const { return error == kRegistryOk; }
};

// The status text names current, whose check mark alone is set.
void ShowCurrentViewer(const ViewerRecord &current, ViewerDisplay &display);

// Stops at the first refused write and then leaves the display untouched; the writes before it stay.
SwitchOutcome SwitchViewer(const ViewerRecord &viewer, RegistryWriter &registry, ViewerDisplay &display);

} // namespace quelvo
