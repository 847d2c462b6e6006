// list: the viewers, the one in place for this user, and what the registry says of each one's installation.
#include "commands.h"
#include "messages.h"

#include "core/detection.h"
#include "core/viewer_name.h"
#include "platform/installation_probe_win.h"
#include "platform/registry_win.h"

namespace quelvo::cli {
int RunList(const Arguments &, Console &console, const VerbContext &) {
    Win32Registry registry;
    const ViewerRecord *current = DetectCurrentViewer(registry); // what this user gets, as in the window
    Win32InstallationProbe probe;
    std::string text;
    for (const ViewerRecord &viewer : Viewers()) {
        text += (&viewer == current ? "* " : "  ") + std::string(viewer.displayName) +
                (&viewer == current ? " (viewer actuel)\n" : "\n");
        text += ControlLines(viewer, probe);
    }
    console.Out(text);
    return ToInt(ExitCode::Ok);
}

} // namespace quelvo::cli
