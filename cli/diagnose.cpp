#include "diagnose.h"
#include "commands.h"
#include "report.h"

#include "core/detection.h"
#include "core/exit_codes.h"
#include "core/ie_mode.h"
#include "core/reg_file.h"
#include "core/text_escape.h"
#include "platform/registry_win.h"
#include "platform/system_facts_win.h"

namespace quelvo::cli {
namespace {

constexpr std::size_t kReadLinesShown = 6;

std::string_view FrenchState(LinkState state) {
    switch (state) {
    case LinkState::Ok:
        return "ok";
    case LinkState::Broken:
        return "CASSÉ";
    case LinkState::Unknown:
        break;
    }
    return "inconnu";
}

// What was read that the verdict rests on: the values found, or where nothing was found, the first places looked.
std::string ReadLines(const Link &link) {
    std::vector<const ReadItem *> shown;
    for (const ReadItem &item : link.read)
        if (item.value != "absent" && shown.size() < kReadLinesShown) shown.push_back(&item);
    for (std::size_t i = 0; shown.empty() && i < link.read.size() && i < 2; ++i)
        shown.push_back(&link.read[i]);
    std::string text;
    for (const ReadItem *item : shown)
        text += "             lu : " + EscapeControls(item->path) + " = " + EscapeControls(item->value) + "\n";
    if (link.read.size() > shown.size())
        text +=
            "             (et " + std::to_string(link.read.size() - shown.size()) + " autre(s) lecture(s) : --json)\n";
    return text;
}

const ViewerRecord *MachineViewer(RegistryReader &registry) {
    const ReadResult wrl = registry.ReadValue(kMachineDetectionPath);
    return wrl.status == ReadStatus::Text ? FindViewerByDetectionValue(wrl.text) : nullptr;
}

// The viewer named, or the machine's; nullptr with the exit code said on the error output.
const ViewerRecord *ViewerFor(const Arguments &arguments, Console &console, int &code) {
    if (!arguments.viewer.empty()) {
        code = ToInt(ExitCode::Usage);
        return ViewerOrComplain(arguments.viewer, console);
    }
    Win32Registry registry;
    const ViewerRecord *viewer = MachineViewer(registry);
    code = ToInt(ExitCode::NoViewer);
    if (!viewer)
        console.Err("Aucun viewer reconnu sur ce PC (d'après " + std::string(kMachineDetectionPath) +
                    ") : nommez-en un, par exemple quelvo-cli diagnose octaga.\n");
    return viewer;
}

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
        {RegFileEntry::Kind::Note,
         {},
         "Mode Internet Explorer de Microsoft Edge pour " + std::string(viewer.displayName) +
             " (stratégies de la machine)"},
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

} // namespace

std::string ChainText(const Chain &chain) {
    std::string text = std::string(chain.viewer->displayName) +
                       " : ce qui reste entre ce viewer et une image 3D, pour le compte qui lance cette commande\n";
    for (const Link &link : chain.links) {
        std::string name(LinkName(link.id));
        name.resize(9, ' ');
        text += "  " + name + "  " + std::string(FrenchState(link.state));
        if (link.state == LinkState::Ok) {
            text += "\n";
            continue;
        }
        text += " : " + EscapeControls(link.reason) + "\n" + ReadLines(link) +
                "             à faire : " + EscapeControls(link.advice) + "\n";
    }
    if (chain.Ready()) return text + "Bilan : prêt, aucun maillon cassé.\n";
    const Link *broken = chain.FirstBroken();
    return text + "Bilan : " +
           (broken ? "pas prêt ; premier maillon cassé : " + std::string(LinkName(broken->id))
                   : std::string("aucun maillon cassé, mais certains n'ont pas pu être vérifiés")) +
           ".\n";
}

nlohmann::ordered_json ChainJson(const Chain &chain) {
    using Json = nlohmann::ordered_json;
    Json links = Json::array();
    for (const Link &link : chain.links) {
        Json read = Json::array();
        for (const ReadItem &item : link.read)
            read.push_back({{"path", item.path}, {"value", item.value}});
        links.push_back({{"id", LinkName(link.id)},
                         {"state", LinkStateName(link.state)},
                         {"reason", link.reason},
                         {"advice", link.advice},
                         {"read", std::move(read)}});
    }
    return {{"format", kJsonFormat},
            {"viewer", chain.viewer->displayName},
            {"ready", chain.Ready()},
            {"links", std::move(links)}};
}

std::string FirstBrokenLine(const Chain &chain) {
    const Link *broken = chain.FirstBroken();
    if (!broken) return {};
    return "Vers une image 3D : le maillon « " + std::string(LinkName(broken->id)) + " » est cassé (" +
           EscapeControls(broken->reason) + ") ; détail : quelvo-cli diagnose\n";
}

Chain DiagnoseHere(const ViewerRecord &viewer, Account account) {
    Win32Registry registry;
    Win32SystemFacts system;
    return DiagnoseChain({viewer, registry, system, account});
}

int DiagnoseCommand(const Arguments &arguments, Console &console, Account account) {
    int code = 0;
    const ViewerRecord *viewer = ViewerFor(arguments, console, code);
    if (!viewer) return code;
    const Chain chain = DiagnoseHere(*viewer, account);
    console.Out(arguments.json ? SafeJson(ChainJson(chain), 2) : ChainText(chain));
    return chain.ExitCode();
}

int ExportIeMode(const Arguments &arguments, Console &console) {
    int code = 0;
    const ViewerRecord *viewer = ViewerFor(arguments, console, code);
    if (!viewer) return code;
    std::string location;
    if (!arguments.sites.empty()) {
        const std::string sitesFile = SiteListFile(*arguments.outputFile);
        const std::string xml = SiteListXml(arguments.sites);
        if (const int written = WriteOutputFile(sitesFile, xml, arguments.force, console); written != 0) return written;
        location = SiteListLocation(sitesFile);
        console.Err("Liste de sites écrite : " + sitesFile + " (la stratégie la lit à " + location + ").\n");
    }
    const std::vector<RegFileEntry> entries = IeModeEntries(*viewer, location);
    if (arguments.outputFile)
        return WriteOutputFile(*arguments.outputFile, RegFileBytes(entries), arguments.force, console);
    console.OutFile(RegFileBytes(entries), RegFileText(entries));
    return ToInt(ExitCode::Ok);
}

} // namespace quelvo::cli
