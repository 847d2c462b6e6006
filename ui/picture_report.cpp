#include "picture_report.h"

#include "core/text_escape.h"
#include "platform/account_win.h"
#include "platform/text_win.h"

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
        return L"Son contrôle n'est pas utilisable sur ce PC (non enregistré en 32 bits, ou fichier absent).";
    case LinkId::Blocked:
        return L"Son contrôle est bloqué sur ce PC (kill bit, module désactivé ou stratégie).";
    case LinkId::Browser:
        return L"Aucun navigateur de ce PC ne peut l'afficher (ni Internet Explorer 11, ni le mode Internet "
               L"Explorer de Microsoft Edge).";
    default:
        break;
    }
    return {};
}

std::wstring PictureParagraph(const ViewerRecord &viewer, const Link &blocker) {
    return L"« " + Widen(viewer.displayName) + L" » ne pourra pas afficher de contenu 3D sur ce PC : " +
           Widen(EscapeControls(blocker.reason)) + L"\n\nÀ faire : " + Widen(EscapeControls(blocker.advice)) +
           L"\n\nLe détail : quelvo-cli diagnose dans une invite de commandes.";
}

Choice PictureChoice(const ViewerRecord &viewer, const Link &blocker) {
    Choice choice;
    choice.warning = true;
    choice.instruction = L"Le contenu 3D ne s'affichera pas encore.";
    choice.content = PictureParagraph(viewer, blocker);
    return choice;
}

} // namespace quelvo
