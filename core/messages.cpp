#include "messages.h"
#include "file_trust.h"
#include "switch_lock.h"

namespace quelvo {

std::string ErrorText(std::string_view systemText, unsigned long error) {
    return std::string(systemText) + " (erreur " + std::to_string(error) + ")";
}

std::string WindowsSaysText(std::string_view systemText, unsigned long error) {
    return "Windows indique : " + ErrorText(systemText, error);
}

std::string BackupWhenText(Scope scope, BackupKind kind, std::string_view when) {
    const std::string whose = scope == Scope::Machine ? "de ce PC" : "de cet utilisateur";
    if (kind == BackupKind::BeforeQuelvo)
        return "Les valeurs " + whose + " d'avant le premier changement de viewer par Quelvo, gardées le " +
               std::string(when) + ".";
    return "Les valeurs " + whose + " d'avant le changement de viewer du " + std::string(when) +
           " seulement : un changement précédent a été fait sans sauvegarde (ou une sauvegarde non fiable a été "
           "mise de côté), les valeurs d'avant Quelvo ne sont plus connues.";
}

std::string BackupWayBackText(Scope scope) {
    return std::string("Pour y revenir : quelvo-cli restore") + (scope == Scope::Machine ? "" : " --user") +
           " (il ne remet que ces emplacements et supprime les clés qui n'existaient pas si elles sont vides).";
}

std::string WhatStaysText(std::size_t writesDone) {
    if (writesDone == 0) return "Aucune valeur du registre n'a été modifiée.";
    if (writesDone == 1)
        return "La valeur écrite avant cette clé reste en place ; le prochain changement de viewer réussi la "
               "remplacera.";
    return "Les " + std::to_string(writesDone) +
           " valeurs écrites avant cette clé restent en place ; le prochain changement de viewer réussi les "
           "remplacera toutes.";
}

std::string FailureDetailsText(const SwitchOutcome &outcome, std::string_view systemText, TextLayout layout) {
    const bool lines = layout == TextLayout::Lines;
    const std::string end = lines ? "\n" : "\n\n";
    return "Cette clé du registre n'a pas pu être écrite :" + std::string(lines ? " " : "\n") + outcome.failedPath +
           end + WindowsSaysText(systemText, outcome.error) + end +
           WhatStaysText(outcome.writesDone + outcome.valuesCopied) + (lines ? "\n" : "");
}

std::string FailedSwitchText(const ViewerRecord &viewer, const SwitchOutcome &outcome, std::string_view systemText,
                             TextLayout layout) {
    return "Le viewer « " + std::string(viewer.displayName) + " » n'a pas pu être choisi." +
           (layout == TextLayout::Lines ? "\n" : "\n\n") + FailureDetailsText(outcome, systemText, layout);
}

std::string LockText(const LockResult &result, std::uint32_t waitSeconds) {
    switch (result.state) {
    case LockState::Held:
        return {};
    case LockState::HeldAfterAbandon:
        return "Avertissement : le dernier programme qui tenait le verrou des changements de viewer de ce PC "
               "s'est arrêté sans le rendre ; ses écritures sont peut-être incomplètes.";
    case LockState::Busy:
        return "Un autre changement de viewer est en cours sur ce PC (attendu " + std::to_string(waitSeconds) +
               " s) ; rien n'a été écrit. Réessayez, ou donnez --wait SECONDES.";
    case LockState::ForeignOwner:
        return "Le verrou des changements de viewer de ce PC existe déjà et n'appartient pas aux Administrateurs : "
               "un autre compte l'a créé et pourrait le tenir. Rien n'a été écrit ; redémarrez le PC ou fermez "
               "le programme qui le tient.";
    case LockState::Unavailable:
        break;
    }
    return "Le verrou des changements de viewer de ce PC n'a pas pu être créé ni ouvert ; rien n'a été écrit.";
}

std::string_view DistrustText(Distrust distrust) {
    switch (distrust) {
    case Distrust::None:
        return "fiable";
    case Distrust::ReparsePoint:
        return "c'est un lien (point d'analyse) vers autre chose";
    case Distrust::Unreadable:
        return "sa sécurité n'a pas pu être lue";
    case Distrust::Owner:
        return "son propriétaire n'est ni SYSTEM, ni Administrateurs, ni TrustedInstaller (ni, pour une sauvegarde "
               "propre à l'utilisateur, cet utilisateur)";
    case Distrust::OthersMayWrite:
        return "d'autres comptes peuvent le modifier";
    case Distrust::Content:
        return "ce n'est pas une sauvegarde Quelvo des emplacements qu'il gère";
    }
    return {};
}

} // namespace quelvo
