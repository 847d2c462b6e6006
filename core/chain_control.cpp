// Whether a 32-bit browser process can load the viewer's controls: each class identifier registered in the 32-bit
// registry view, where such a process reads ("Registry Keys Affected by WOW64"), a registration of the user's own
// winning for that user ("Merged View of HKEY_CLASSES_ROOT"), and the file that InprocServer32 names there
// ("InprocServer32"), whose System32 such a process is served from SysWOW64 ("File System Redirector").
#include "chain.h"
#include "chain_read.h"
#include "messages.h"

#include "association.h"

#include <vector>

namespace quelvo {
namespace {

std::vector<std::string_view> ClassesOf(const ViewerRecord &viewer) {
    std::vector<std::string_view> classes{viewer.vrmlClsid};
    if (viewer.x3dClsid != viewer.vrmlClsid) classes.push_back(viewer.x3dClsid);
    return classes;
}

// What a 32-bit process on 64-bit Windows opens for a System32 path.
std::string As32BitProcessSeesIt(const std::string &file, SystemFacts &system) {
    if (!system.Version().is64Bit) return file;
    const std::string system32 = system.ExpandEnvironment("%SystemRoot%") + "\\System32\\";
    if (file.size() < system32.size() || !SameNoCase(std::string_view(file).substr(0, system32.size()), system32))
        return file;
    return system.ExpandEnvironment("%SystemRoot%") + "\\SysWOW64\\" + file.substr(system32.size());
}

void CheckFile(std::string_view clsid, const AnyValue &server, const ChainInputs &in, Link &link) {
    const std::string named = FileOf(server, in.system);
    const std::string file = As32BitProcessSeesIt(named, in.system);
    if (file.empty())
        link.Break(NoControlFileCause(clsid));
    else if (file.find('\\') == std::string::npos)
        link.Doubt(ControlFileWithoutFolderCause(clsid, file));
    else if (!in.system.FileExists(file))
        link.Break(ControlFileMissingCause(clsid, file, named));
}

void CheckClass(std::string_view clsid, const ChainInputs &in, Link &link) {
    const std::string below = "CLSID\\" + std::string(clsid) + "\\";
    const std::string user = std::string(kUserClasses) + below;
    const bool mine = in.account == Account::User && in.registry.KeyExists32(user).state == KeyState::Present;
    const std::string server = (mine ? user : std::string(kMachineClasses) + below) + "InprocServer32\\";
    const AnyValue value = ReadNoted(link, in.registry, server, View::Bits32);
    if (value.kind == AnyValue::Kind::Text) return CheckFile(clsid, value, in, link);
    if (value.kind == AnyValue::Kind::Unreadable) {
        link.Doubt(ControlUnreadableCause(clsid));
        return;
    }
    const AnyValue native = ReadNoted(link, in.registry, std::string(kMachineClasses) + below + "InprocServer32\\");
    link.Break(ControlNot32BitCause(clsid, mine, native.kind == AnyValue::Kind::Text));
}

} // namespace

Link ControlLink(const ChainInputs &in) {
    Link link{LinkId::Control};
    for (std::string_view clsid : ClassesOf(in.viewer))
        CheckClass(clsid, in, link);
    return link;
}

} // namespace quelvo
