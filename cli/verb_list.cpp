// list: the viewers, the one in place for this user, and what the registry says of each one's installation.
#include "commands.h"

#include "core/detection.h"
#include "core/viewer_name.h"
#include "platform/installation_probe_win.h"
#include "platform/registry_win.h"

namespace quelvo::cli {
namespace {

std::string ViewsText(ServerViews views) {
    if (views.view32 && views.view64) return "enregistré en 32 et en 64 bits";
    if (views.view32) return "enregistré en 32 bits";
    if (views.view64) return "enregistré en 64 bits";
    return "non enregistré";
}

std::string ControlLines(const ViewerRecord &viewer, InstallationProbe &probe) {
    std::string text = "    contrôle " + std::string(viewer.vrmlClsid) + " : " + ViewsText(probe.InprocServer(viewer.vrmlClsid));
    if (viewer.x3dClsid != viewer.vrmlClsid)
        text += "\n    contrôle X3D " + std::string(viewer.x3dClsid) + " : " + ViewsText(probe.InprocServer(viewer.x3dClsid));
    text += "\n    type de fichier " + std::string(viewer.extensionProgId) + " : " +
            (probe.ProgIdExists(viewer.extensionProgId) ? "présent" : "absent") + "\n";
    for (const ViewerRecord *other : ViewersSharingAClass(viewer))
        text += "    identifiant de classe partagé avec " + std::string(other->displayName) +
                " : le registre ne dit pas lequel des deux est installé\n";
    return text;
}


} // namespace

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
