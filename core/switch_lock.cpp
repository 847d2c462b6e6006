#include "switch_lock.h"

namespace quelvo {

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

} // namespace quelvo
