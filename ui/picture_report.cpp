#include "picture_report.h"

#include "core/text_escape.h"
#include "platform/account_win.h"
#include "platform/text_win.h"
#include "resource.h"
#include "texts.h"

namespace quelvo {

std::optional<Link> PictureBlocker(const ViewerRecord &viewer, RegistryReader &registry, SystemFacts &system) {
    const ChainInputs in{viewer, registry, system, CurrentAccount()};
    for (Link (*check)(const ChainInputs &) : {ControlLink, BlockedLink, BrowserLink}) {
        Link link = check(in);
        if (link.state == LinkState::Broken) return link;
    }
    return std::nullopt;
}

std::wstring PictureTipNote(LinkId id) {
    switch (id) {
    case LinkId::Control:
        return LoadText(IDS_TIP_CONTROL);
    case LinkId::Blocked:
        return LoadText(IDS_TIP_BLOCKED);
    case LinkId::Browser:
        return LoadText(IDS_TIP_BROWSER);
    default:
        break;
    }
    return {};
}

std::wstring PictureParagraph(const ViewerRecord &viewer, const Link &blocker) {
    return FormatText(IDS_PICTURE_PARAGRAPH, {Widen(viewer.displayName), Widen(EscapeControls(blocker.reason)),
                                              Widen(EscapeControls(blocker.advice))});
}

Choice PictureChoice(const ViewerRecord &viewer, const Link &blocker) {
    Choice choice;
    choice.warning = true;
    choice.instruction = LoadText(IDS_PICTURE_INSTRUCTION);
    choice.content = PictureParagraph(viewer, blocker);
    return choice;
}

} // namespace quelvo
