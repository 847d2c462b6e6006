#include "switch_text.h"

namespace quelvo {

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
           end + "Windows indique : " + std::string(systemText) + " (erreur " + std::to_string(outcome.error) + ")" +
           end + WhatStaysText(outcome.writesDone + outcome.valuesCopied) + (lines ? "\n" : "");
}

std::string FailedSwitchText(const ViewerRecord &viewer, const SwitchOutcome &outcome, std::string_view systemText,
                             TextLayout layout) {
    return "Le viewer « " + std::string(viewer.displayName) + " » n'a pas pu être choisi." +
           (layout == TextLayout::Lines ? "\n" : "\n\n") + FailureDetailsText(outcome, systemText, layout);
}

} // namespace quelvo
