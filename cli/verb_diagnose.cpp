// diagnose: the chain from the values to a picture, link by link, for people and for scripts.
#include "diagnose.h"
#include "commands.h"
#include "report.h"

#include "core/detection.h"
#include "core/exit_codes.h"
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

int RunDiagnose(const Arguments &arguments, Console &console, const VerbContext &context) {
    int code = 0;
    const ViewerRecord *viewer = ViewerNamedOrInPlace(arguments, console, code);
    if (!viewer) return code;
    const Chain chain = DiagnoseHere(*viewer, context.account);
    console.Out(arguments.json ? SafeJson(ChainJson(chain), 2) : ChainText(chain));
    return chain.ExitCode();
}

} // namespace quelvo::cli
