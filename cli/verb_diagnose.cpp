// diagnose: the chain from the values to a picture, link by link, for people and for scripts.
#include "diagnose.h"
#include "commands.h"
#include "messages.h"
#include "report.h"

#include "core/detection.h"
#include "core/exit_codes.h"
#include "platform/registry_win.h"
#include "platform/system_facts_win.h"

namespace quelvo::cli {

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
