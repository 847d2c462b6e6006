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

std::string UnmanagedKeyText(std::string_view key) {
    return "clé que Quelvo ne gère pas : " + std::string(key);
}

std::string UnmanagedValueText(std::string_view path) {
    return "valeur que Quelvo ne gère pas : " + std::string(path);
}

namespace {

constexpr std::string_view kRunAsTheUser = "Lancez quelvo-cli diagnose dans la session de l'utilisateur.";
constexpr std::string_view kOnlyTheUserChanges =
    "Ces choix ne se changent que par l'utilisateur : Paramètres, Applications par défaut.";
constexpr std::string_view kReinstall = "Réinstallez le viewer.";

std::string Quoted(std::string_view name) {
    return "« " + std::string(name) + " »";
}

} // namespace

Cause MachineDiffersCause(std::size_t differing, std::string_view viewerName) {
    return {std::to_string(differing) + " des 20 emplacements de la machine ne portent pas la valeur de " +
                Quoted(viewerName) + ".",
            "Choisissez " + Quoted(viewerName) + " pour tout le PC : quelvo-cli use \"" + std::string(viewerName) +
                "\" en administrateur, ou un clic dans Quelvo."};
}

Cause NotAUserCause() {
    return {"Compte système ou service : HKEY_CURRENT_USER est ici le profil du système, celui d'aucun utilisateur ; "
            "les réglages propres aux utilisateurs n'ont pas été lus.",
            std::string(kRunAsTheUser)};
}

Cause UserKeysWinCause(std::string_view extensions, std::string_view viewerName) {
    return {"Des clés propres à cet utilisateur l'emportent sur la machine pour " + std::string(extensions) + ".",
            "quelvo-cli use \"" + std::string(viewerName) +
                "\" --user dans sa session, ou « Pour moi aussi » dans Quelvo."};
}

Cause UserChoicesWinCause(std::string_view extensions) {
    return {"Des choix « Ouvrir avec » de cet utilisateur l'emportent pour " + std::string(extensions) + ".",
            std::string(kOnlyTheUserChanges)};
}

Cause UserSettingsUnreadCause(std::string_view places) {
    return {"Les réglages propres à cet utilisateur n'ont pas pu être lus pour " + std::string(places) + ".",
            std::string(kRunAsTheUser)};
}

Cause LatestChoicesWinCause(std::string_view extensions) {
    return {"Des choix « Ouvrir avec » récents de cet utilisateur (UserChoiceLatest, que Windows 11 lit d'abord) "
            "l'emportent pour " +
                std::string(extensions) + ".",
            std::string(kOnlyTheUserChanges)};
}

Cause LatestChoicesUnreadCause(std::string_view extensions) {
    return {"Les choix « Ouvrir avec » récents de cet utilisateur n'ont pas pu être lus pour " +
                std::string(extensions) + ".",
            std::string(kRunAsTheUser)};
}

Cause NoControlFileCause(std::string_view clsid) {
    return {"Le contrôle " + std::string(clsid) + " est enregistré sans fichier (InprocServer32 vide).",
            std::string(kReinstall)};
}

Cause ControlFileWithoutFolderCause(std::string_view clsid, std::string_view file) {
    return {"Le contrôle " + std::string(clsid) + " nomme « " + std::string(file) +
                " » sans dossier : Windows le cherche dans ses dossiers, Quelvo ne peut pas dire s'il le trouve.",
            "Réinstallez le viewer, qui enregistre d'ordinaire le chemin complet."};
}

Cause ControlFileMissingCause(std::string_view clsid, std::string_view file, std::string_view named) {
    return {"Le fichier du contrôle " + std::string(clsid) + ", « " + std::string(file) + " »" +
                (file != named ? " (« " + std::string(named) + " » pour un programme 32 bits)" : std::string()) +
                ", n'existe pas.",
            std::string(kReinstall)};
}

Cause ControlUnreadableCause(std::string_view clsid) {
    return {"L'enregistrement du contrôle " + std::string(clsid) + " n'a pas pu être lu.",
            "Relancez la commande avec les droits de lire cette clé."};
}

Cause ControlNot32BitCause(std::string_view clsid, bool mine, bool only64Bit) {
    return {"Le contrôle " + std::string(clsid) + " n'est pas enregistré là où lit un navigateur 32 bits" +
                (mine ? " (la clé propre à cet utilisateur, qui l'emporte pour lui)" : "") +
                (only64Bit ? " ; il l'est en 64 bits seulement, ce qu'Internet Explorer ne peut pas charger." : "."),
            "Installez le viewer (sa version 32 bits), ou réinstallez-le."};
}

Cause KillBitCause(std::string_view clsid, bool bits32View) {
    return {"Le contrôle " + std::string(clsid) + " porte le « kill bit » (Compatibility Flags 0x400" +
                (bits32View ? ", vue 32 bits" : "") + ") : Internet Explorer ne le charge jamais.",
            "Ce blocage est souvent une mise à jour de sécurité : retirez le bit 0x400 seulement si l'éditeur du "
            "viewer le permet."};
}

Cause AddOnDeniedCause(std::string_view clsid) {
    return {"La stratégie « Liste des modules complémentaires » interdit le contrôle " + std::string(clsid) + ".",
            "Dans la stratégie, donnez-lui la valeur 1 (autorisé)."};
}

Cause AddOnNotListedCause(std::string_view clsid) {
    return {"La stratégie « Refuser tous les modules complémentaires sauf ceux autorisés » est active et le contrôle " +
                std::string(clsid) + " n'est pas dans la liste.",
            "Ajoutez " + std::string(clsid) + " à la « Liste des modules complémentaires » avec la valeur 1."};
}

Cause AddOnDisabledCause(std::string_view clsid) {
    return {"Cet utilisateur a désactivé le contrôle " + std::string(clsid) + " dans les modules complémentaires.",
            "Internet Explorer, Outils, Gérer les modules complémentaires : activez-le."};
}

Cause ZoneDisallowsCause(std::string_view zoneName) {
    return {"« Exécuter les contrôles ActiveX et les plug-ins » est désactivé pour la zone " + std::string(zoneName) +
                ".",
            "Activez-le pour cette zone (stratégie de groupe, ou Options Internet, Sécurité)."};
}

Cause Tabs64BitCause() {
    return {"Une stratégie impose des onglets 64 bits en mode protégé amélioré : ils ne chargent pas un contrôle 32 "
            "bits.",
            "Désactivez la stratégie « Activer les processus 64 bits pour les onglets en mode protégé amélioré »."};
}

std::string Ie11Text(Ie11Case which, std::string_view windows) {
    const std::string w(windows);
    switch (which) {
    case Ie11Case::Kept:
        return w + " garde Internet Explorer 11.";
    case Ie11Case::KeptOnServer:
        return w + " (Server) garde Internet Explorer 11.";
    case Ie11Case::ServerUnknown:
        return w + " (Server) : Microsoft ne dit pas qu'Internet Explorer 11 s'y ouvre encore.";
    case Ie11Case::Windows11:
        return w + " (Windows 11) n'a pas Internet Explorer 11.";
    case Ie11Case::KeptOnLtsc:
        return w + " (LTSC) garde Internet Explorer 11.";
    case Ie11Case::Windows10Unknown:
        break;
    }
    return w + " : une mise à jour de Microsoft Edge y a désactivé Internet Explorer 11 le 14 février 2023 sur la "
               "plupart des versions de Windows 10 ; Quelvo ne peut pas dire s'il s'ouvre encore ici.";
}

std::string IeModeOffText() {
    return "le mode Internet Explorer de Microsoft Edge n'est pas activé par stratégie "
           "(InternetExplorerIntegrationLevel = 1)";
}

std::string IeModeGivenNothingText() {
    return "le mode Internet Explorer est activé, mais ni liste de sites, ni rechargement en mode Internet Explorer, "
           "ni fichiers locaux ne lui sont permis";
}

std::string IeModeExtensionsMissingText(std::string_view extensions) {
    return "le mode Internet Explorer accepte les fichiers locaux, mais pas les extensions " + std::string(extensions) +
           " (InternetExplorerIntegrationLocalFileExtensionAllowList)";
}

Cause BrowserCause(std::string_view ie11, std::string_view gap, std::string_view viewerName, bool usersRead) {
    return {std::string(ie11) + " Et " + std::string(gap) + "." +
                (usersRead ? "" : " Les stratégies propres aux utilisateurs n'ont pas été lues."),
            "Activez le mode Internet Explorer pour ce viewer : quelvo-cli export --ie-mode \"" +
                std::string(viewerName) +
                "\" -o ie-mode.reg, puis reg import ie-mode.reg en administrateur (ou par stratégie de groupe)."};
}

Cause FilesNotCheckedCause() {
    return {"Compte système ou service : ce qu'un double-clic lance dépend des réglages de chaque utilisateur, qui "
            "n'ont pas été lus.",
            std::string(kRunAsTheUser)};
}

Cause NoFileTypeCause(std::string_view extension) {
    return {"Aucun type de fichier n'est associé à " + std::string(extension) + " : un double-clic n'ouvre rien.",
            "Choisissez le viewer dans Quelvo, ou installez-le."};
}

Cause NoOpenCommandCause(std::string_view progId, std::string_view extension) {
    return {"Le type de fichier « " + std::string(progId) + " » de " + std::string(extension) +
                " n'a pas de commande d'ouverture (shell\\open\\command) : il n'est pas installé sur ce PC.",
            "Installez le viewer (il enregistre son type de fichier), puis choisissez-le dans Quelvo."};
}

Cause ProgramSearchedCause(std::string_view extension, std::string_view program, std::string_view progId) {
    return {"Un double-clic sur " + std::string(extension) + " lance « " + std::string(program) +
                " », cherché par Windows dans ses dossiers : Quelvo ne peut pas dire s'il le trouve.",
            "Donnez un chemin complet dans la commande du type de fichier « " + std::string(progId) + " »."};
}

Cause ProgramMissingCause(std::string_view extension, std::string_view program, std::string_view progId) {
    return {"Un double-clic sur " + std::string(extension) + " lance « " + std::string(program) +
                " », qui n'existe pas.",
            "Réinstallez le programme du type de fichier « " + std::string(progId) + " »."};
}

} // namespace quelvo
