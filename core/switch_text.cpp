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

} // namespace quelvo
