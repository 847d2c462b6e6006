// export: a viewer's values as a .reg file, Windows' default-associations file, or Internet Explorer mode's
// policies with their site list.
#include "commands.h"
#include "messages.h"

#include "core/backup.h"
#include "core/default_associations.h"
#include "core/ie_mode.h"
#include "core/reg_file.h"
#include "core/switch.h"
#include "platform/installation_probe_win.h"
#include "platform/text_win.h"

namespace quelvo::cli {
namespace {

// Edge takes a site list's place as a URL; a local file is given as file:///, a share as it is.
std::string SiteListLocation(const std::string &file) {
    if (file.starts_with("\\\\")) return file;
    std::string url = "file:///" + file;
    for (char &c : url)
        if (c == '\\') c = '/';
    return url;
}

std::string SiteListFile(const std::string &regFile) {
    const std::string full = FullPathOf(regFile);
    const std::size_t dot = full.rfind('.'), cut = full.find_last_of("\\/");
    const std::string stem =
        dot != std::string::npos && (cut == std::string::npos || dot > cut) ? full.substr(0, dot) : full;
    return stem + "-sites.xml";
}

std::vector<RegFileEntry> IeModeEntries(const ViewerRecord &viewer, const std::string &siteList) {
    const std::string policies = "HKEY_LOCAL_MACHINE\\" + std::string(kEdgePolicies) + "\\";
    const std::string one("\x01\0\0\0", 4);
    std::vector<RegFileEntry> entries = {
        {RegFileEntry::Kind::Note, {}, IeModeNoteText(viewer)},
        {RegFileEntry::Kind::Raw, policies + std::string(kIeModeLevel), one, kRegDword},
        {RegFileEntry::Kind::Raw, policies + std::string(kIeModeLocalFiles), one, kRegDword}};
    if (!siteList.empty())
        entries.push_back({RegFileEntry::Kind::Set, policies + std::string(kIeModeSiteList), siteList});
    std::size_t n = 0;
    for (std::string_view extension : IeModeExtensions(viewer))
        entries.push_back({RegFileEntry::Kind::Set,
                           policies + std::string(kIeModeExtensions) + "\\" + std::to_string(++n),
                           std::string(extension)});
    return entries;
}

// The site list and the .reg file that points at it go together: both are checked before either is written, and a
// site list this run created goes again when the .reg file then fails, so a refused export leaves no file.
int ExportWithSiteList(const ViewerRecord &viewer, const Arguments &arguments, Console &console) {
    const std::string &regFile = *arguments.outputFile;
    const std::string sitesFile = SiteListFile(regFile);
    for (const std::string &file : {sitesFile, regFile})
        if (const int refused = RefusedOutputFile(file, arguments.force, console); refused != 0) return refused;
    const bool sitesExisted = GetFileAttributesW(Widen(sitesFile).c_str()) != INVALID_FILE_ATTRIBUTES;
    if (const int written = WriteOutputFile(sitesFile, SiteListXml(arguments.sites), arguments.force, console);
        written != 0)
        return written;
    const std::string location = SiteListLocation(sitesFile);
    const int written =
        WriteOutputFile(regFile, RegFileBytes(IeModeEntries(viewer, location)), arguments.force, console);
    if (written == 0)
        console.Err(SiteListWrittenText(sitesFile, location));
    else if (!sitesExisted)
        DeleteFileW(Widen(sitesFile).c_str());
    return written;
}

int ExportIeMode(const Arguments &arguments, Console &console) {
    int code = 0;
    const ViewerRecord *viewer = ViewerNamedOrInPlace(arguments, console, code);
    if (!viewer) return code;
    if (!arguments.sites.empty()) return ExportWithSiteList(*viewer, arguments, console);
    const std::vector<RegFileEntry> entries = IeModeEntries(*viewer, {});
    return Deliver(entries, arguments, console);
}

} // namespace

int RunExport(const Arguments &arguments, Console &console, const VerbContext &) {
    if (arguments.ieMode) return ExportIeMode(arguments, console);
    const ViewerRecord *viewer = ViewerOrComplain(arguments.viewer, console);
    if (!viewer) return ToInt(ExitCode::Usage);
    if (!arguments.dism) return Deliver(ExportEntries(*viewer, ScopeOf(arguments)), arguments, console);
    if (!Win32InstallationProbe().ProgIdExists(viewer->extensionProgId))
        console.Err(ProgIdNotRegisteredText(viewer->extensionProgId));
    if (const std::vector<std::string_view> left = ExtensionsLeftOut(*viewer); !left.empty())
        console.Err(ExtensionsLeftOutText(left));
    const std::string xml = DefaultAssociationsXml(*viewer);
    return Deliver(xml, xml, arguments, console);
}

} // namespace quelvo::cli
