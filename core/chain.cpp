#include "chain.h"

#include "exit_codes.h"

namespace quelvo {
namespace {

void Append(std::string &text, std::string_view more) {
    if (more.empty() || text.find(more) != std::string::npos) return;
    text += text.empty() ? "" : " ";
    text += more;
}

} // namespace

void Link::Break(std::string_view why, std::string_view todo) {
    if (state != LinkState::Broken) {
        reason.clear();
        advice.clear();
    }
    state = LinkState::Broken;
    Append(reason, why);
    Append(advice, todo);
}

void Link::Doubt(std::string_view why, std::string_view todo) {
    if (state == LinkState::Broken) return;
    state = LinkState::Unknown;
    Append(reason, why);
    Append(advice, todo);
}

bool Chain::Ready() const {
    for (const Link &link : links)
        if (link.state != LinkState::Ok) return false;
    return true;
}

const Link *Chain::FirstBroken() const {
    for (const Link &link : links)
        if (link.state == LinkState::Broken) return &link;
    return nullptr;
}

int Chain::ExitCode() const {
    if (Ready()) return ToInt(ExitCode::Ok);
    if (FirstBroken() || usersChecked) return ToInt(ExitCode::Failed);
    return ToInt(ExitCode::UsersNotChecked);
}

std::string_view LinkName(LinkId id) {
    switch (id) {
    case LinkId::Values:
        return "values";
    case LinkId::Hidden:
        return "hidden";
    case LinkId::Control:
        return "control";
    case LinkId::Blocked:
        return "blocked";
    case LinkId::Browser:
        return "browser";
    case LinkId::Files:
        return "files";
    }
    return {};
}

std::string_view LinkStateName(LinkState state) {
    switch (state) {
    case LinkState::Ok:
        return "ok";
    case LinkState::Broken:
        return "broken";
    case LinkState::Unknown:
        break;
    }
    return "unknown";
}

Chain DiagnoseChain(const ChainInputs &in) {
    Chain chain;
    chain.viewer = &in.viewer;
    chain.usersChecked = in.account == Account::User;
    for (Link (*check)(const ChainInputs &) :
         {ValuesLink, HiddenLink, ControlLink, BlockedLink, BrowserLink, FilesLink})
        chain.links.push_back(check(in));
    return chain;
}

} // namespace quelvo
