#include "messages.h"

#include "core/exit_codes.h"
#include "core/detection.h"
#include "core/text_escape.h"

#include <array>

namespace quelvo::cli {
namespace {

std::string Quoted(const ViewerRecord &viewer) {
    return "« " + std::string(viewer.displayName) + " »";
}

std::string ForWhom(Scope scope) {
    return scope == Scope::CurrentUser ? " pour l'utilisateur actuel" : "";
}

std::string ValueNameOf(const std::string &path) {
    const std::string name = path.substr(path.rfind('\\') + 1);
    return name.empty() ? "(par défaut)" : name;
}

std::string KeyOfPath(const std::string &path) {
    return path.substr(0, path.rfind('\\'));
}

// A per-user switch also names what it copied of the machine's keys into the keys it created.
std::string WrittenText(const SwitchOutcome &outcome) {
    std::string text = std::to_string(outcome.writesDone) + " valeurs écrites";
    if (outcome.valuesCopied > 0)
        text += ", " + std::to_string(outcome.valuesCopied) +
                " autre(s) copiée(s) des clés de la machine, que les nouvelles clés masqueraient sinon";
    return text;
}

std::string HidingLine(const PlaceVerdict &place) {
    if (place.winner == Winner::UserChoice)
        return "  " + place.name + " : son choix « Ouvrir avec » (" + place.choicePath + " = \"" +
               EscapeControls(place.choice.text) + "\")\n";
    if (place.winner == Winner::UserKey) return "  " + place.name + " : sa propre clé " + KeyOfPath(place.userPath) + "\n";
    return "  " + place.name + " : ses propres réglages, qui n'ont pas pu être lus\n";
}

// A line of a file someone else may have written: shown escaped, so that none steers the terminal.
std::string Printable(std::string_view text) {
    return EscapeControls(text);
}

} // namespace

std::string NumberInWords(std::size_t count) {
    constexpr std::array<std::string_view, 13> kWords = {"zéro", "un",   "deux", "trois", "quatre", "cinq", "six",
                                                         "sept", "huit", "neuf", "dix",   "onze",   "douze"};
    return count < kWords.size() ? std::string(kWords[count]) : std::to_string(count);
}

std::string UnknownViewerText(const std::string &name) {
    std::string names;
    for (const ViewerRecord &viewer : Viewers())
        names += std::string(names.empty() ? "" : ", ") + std::string(viewer.displayName);
    return "Viewer inconnu : « " + name + " ». Les viewers sont : " + names + ".\n";
}

std::string NoViewerInPlaceText() {
    return "Aucun viewer reconnu sur ce PC (d'après " + std::string(kMachineDetectionPath) +
           ") : nommez-en un, par exemple quelvo-cli diagnose octaga.\n";
}

std::string OutputFailedText(const std::string &systemText, int code, int finalCode) {
    return "L'écriture sur la sortie standard a échoué : " + systemText +
           (finalCode == code ? " ; le code de sortie " + std::to_string(code) + " dit ce qui a été fait : " +
                                    std::string(ExitCodeText(code))
                              : std::string()) +
           ".\n";
}

std::string AlsoUserRefusedText() {
    return "--also-user est refusé sous le compte système ou un service : HKEY_CURRENT_USER y est le profil du "
           "système, celui d'aucun utilisateur. Rien n'a été écrit.\n";
}

std::string ControlNotRegisteredText(const ViewerRecord &viewer) {
    return "Avertissement : le contrôle de " + Quoted(viewer) + " n'est pas enregistré sur ce PC (voir quelvo-cli list).\n";
}

std::string DryRunText(const ViewerRecord &viewer, const std::vector<RegistryWrite> &writes) {
    std::string text = "Écritures prévues pour " + Quoted(viewer) + " (rien n'est écrit) :\n";
    for (const RegistryWrite &write : writes)
        text += KeyOfPath(write.path) + "\t" + ValueNameOf(write.path) + "\t\"" + write.value + "\"\n";
    return text;
}

std::string BackupText(const SwitchOutcome &outcome, const std::string &location, Scope scope,
                       const std::string &systemText) {
    const std::string restore = scope == Scope::Machine ? "quelvo-cli restore" : "quelvo-cli restore --user";
    std::string text;
    if (!outcome.movedAside.empty()) text += "Attention : " + outcome.movedAside + ".\n";
    if (outcome.backup == BackupResult::Written)
        text += std::string(outcome.beforeThisSwitch ? "Les valeurs d'avant ce changement (pas celles d'avant "
                                                       "Quelvo, qui ne sont plus connues)"
                                                     : "Les valeurs d'avant Quelvo") +
                " ont été sauvegardées dans " + location + " ; pour y revenir : " + restore + "\n";
    if (outcome.backup == BackupResult::Skipped)
        text += "Avertissement : aucune sauvegarde n'a été gardée (" +
                (outcome.unreadablePath.empty() ? systemText : "valeur illisible : " + outcome.unreadablePath) +
                ") ; le viewer est choisi quand même, comme demandé par --no-backup.\n";
    return text;
}

std::string NoBackupText(const ViewerRecord &viewer, const SwitchOutcome &outcome, const std::string &location,
                         const std::string &windowsSays) {
    std::string text = "Le viewer " + Quoted(viewer) +
                       " n'a pas été choisi : rien n'a été écrit, car les valeurs d'avant n'ont pas pu être "
                       "sauvegardées.\n";
    if (outcome.backup == BackupResult::Unreadable)
        text += "Cette valeur n'a pas pu être lue : " + outcome.unreadablePath + "\n";
    else
        text += "La sauvegarde n'a pas pu être écrite dans « " + location + " ».\n";
    return text + windowsSays + "\nPour changer quand même, sans sauvegarde : ajoutez --no-backup.\n";
}

std::string RefusedWriteAdvice(const SwitchOutcome &outcome, bool alreadyAdministrator) {
    if (outcome.error != kRegistryAccessDenied) return {};
    if (alreadyAdministrator)
        return "Ce programme a déjà les droits d'administrateur : c'est la sécurité propre de la clé " +
               KeyOfPath(outcome.failedPath) +
               " qui refuse l'écriture. Voyez ses autorisations dans l'Éditeur du registre.\n";
    return "Il faut les droits d'administrateur : lancez la commande depuis une invite exécutée en tant "
           "qu'administrateur, ou ajoutez --user pour choisir le viewer pour vous seul.\n";
}

std::string AlreadyInPlaceText(const ViewerRecord &viewer, Scope scope) {
    return Quoted(viewer) + " est déjà en place" + ForWhom(scope) +
           " : rien n'a été écrit (--rewrite pour faire les écritures quand même).\n";
}

std::string NowTheViewerText(const ViewerRecord &viewer, Scope scope, const SwitchOutcome &outcome) {
    return Quoted(viewer) + " est maintenant le viewer par défaut" + ForWhom(scope) + " (" + WrittenText(outcome) +
           ").\n";
}

std::string AlsoTheUsersText(const ViewerRecord &viewer, const SwitchOutcome &outcome) {
    return Quoted(viewer) + " est aussi le viewer de l'utilisateur actuel (" + WrittenText(outcome) + ", sous " +
           std::string(kUserClasses) + ").\n";
}

std::string HidingAfterUseText(const ViewerRecord &viewer, const HidingReport &report) {
    if (!report.usersChecked)
        return "Compte système ou service : ce qui pourrait masquer ces valeurs pour chaque utilisateur n'a pas "
               "été vérifié (voir quelvo-cli status dans la session de l'utilisateur).\n";
    std::string lines;
    bool keys = false, choices = false;
    for (const PlaceVerdict &place : report.places) {
        if (!place.Differs()) continue;
        lines += HidingLine(place);
        keys = keys || place.winner == Winner::UserKey;
        choices = choices || place.winner == Winner::UserChoice;
    }
    if (lines.empty()) return {};
    std::string text = "Pour l'utilisateur actuel, ses propres réglages l'emportent sur ces valeurs :\n" + lines;
    if (keys)
        text += "Ses propres clés continueront de l'emporter sur les changements suivants de la machine. Pour "
                "choisir le même viewer pour lui aussi : quelvo-cli use \"" + std::string(viewer.displayName) +
                "\" --user\n";
    if (choices)
        text += "Un choix « Ouvrir avec » ne peut être changé que par l'utilisateur lui-même : Paramètres, "
                "Applications par défaut (Windows 10 et 11), ou Panneau de configuration, Programmes par défaut "
                "(Windows 8 et 8.1).\n";
    return text;
}

std::string BackupRefusedText(const std::string &name, const std::string &why) {
    return "La sauvegarde « " + Printable(name) + " » est refusée, rien n'a été écrit : " + Printable(why) + ".\n";
}

std::string FileNotOpenedText(const std::string &name, const std::string &systemText) {
    return "Le fichier « " + Printable(name) + " » n'a pas pu être ouvert : " + systemText + "\n";
}

std::string NotReadWholeReason(const std::string &systemText) {
    return "il n'a pas pu être lu en entier (" + systemText + ")";
}

std::string RefusedLineReason(std::size_t line, const std::string &reason) {
    return "ligne " + std::to_string(line) + ", " + reason;
}

std::string SkippedOldPlaceText(const std::string &line) {
    return "Ignorée (sauvegarde de la version 2.0.0 : HKEY_CLASSES_ROOT y montrait la vue fusionnée, peut-être vos "
           "propres valeurs par utilisateur) : " + Printable(line) + "\n";
}

std::string RestoreActionText(const RestoreAction &action) {
    switch (action.kind) {
    case RestoreAction::Kind::Set:
        return "remet       " + Printable(action.line) + "\n";
    case RestoreAction::Kind::Delete:
        return "supprime    " + Printable(action.line) + "\n";
    case RestoreAction::Kind::RemoveKeyIfEmpty:
        return "clé absente avant, supprimée si elle est vide : " + Printable(action.line) + "\n";
    }
    return "\n";
}

std::string PlaceNotRestoredText(const std::string &path, const std::string &windowsSays, std::size_t done) {
    return "Cet emplacement n'a pas pu être remis : " + path + "\n" + windowsSays + "\n" + std::to_string(done) +
           " emplacement(s) remis avant lui restent écrits.\n";
}

std::string RestoreNeedsAdministratorText() {
    return "Il faut les droits d'administrateur : lancez la commande depuis une invite exécutée en tant "
           "qu'administrateur.\n";
}

std::string NothingWrittenDryRunText() {
    return "(--dry-run : rien n'a été écrit)\n";
}

std::string PlacesRestoredText(std::size_t done) {
    return std::to_string(done) + " emplacement(s) remis.\n";
}

std::string KeptBackupNeverReplacedText(const std::string &path) {
    return "Le fichier « " + path + " » est une sauvegarde que Quelvo garde : il n'est jamais remplacé, même avec "
           "--force. Rien n'a été écrit.\n";
}

std::string FileExistsText(const std::string &path) {
    return "Le fichier « " + path + " » existe déjà : ajoutez --force pour le remplacer. Rien n'a été écrit.\n";
}

std::string FileAppearedText(const std::string &path) {
    return "Le fichier « " + path + " » est apparu pendant l'écriture : il reste tel quel.\n";
}

std::string FileNotWrittenText(const std::string &path, const std::string &systemText, bool existed) {
    return "Le fichier « " + path + " » n'a pas pu être écrit : " + systemText +
           (existed ? ". L'ancien fichier reste entier.\n" : ".\n");
}

std::string ProgIdNotRegisteredText(std::string_view progId) {
    return "Avertissement : le type de fichier « " + std::string(progId) +
           " » n'est pas enregistré sur ce PC (voir quelvo-cli list). Windows n'applique une association qu'à un "
           "type de fichier enregistré sur le PC qui la reçoit ; le fichier est écrit quand même.\n";
}

std::string ExtensionsLeftOutText(const std::vector<std::string_view> &extensions) {
    std::string names;
    for (std::string_view extension : extensions)
        names += std::string(names.empty() ? "" : ", ") + std::string(extension);
    return "Remarque : " + names +
           " ne sont pas dans le fichier. Windows prend pour extension d'un fichier ce qui suit le dernier point de "
           "son nom (« exemple.wrl.gz » est un fichier .gz) : il ne cherche jamais ces extensions, et une "
           "association pour elles ne servirait à rien.\n";
}

std::string IeModeNoteText(const ViewerRecord &viewer) {
    return "Mode Internet Explorer de Microsoft Edge pour " + std::string(viewer.displayName) +
           " (stratégies de la machine)";
}

std::string SiteListWrittenText(const std::string &file, const std::string &location) {
    return "Liste de sites écrite : " + file + " (la stratégie la lit à " + location + ").\n";
}

std::string CheckRefusedLine() {
    return "commande incorrecte : rien n'a été vérifié (voir quelvo-cli --help)\n";
}

} // namespace quelvo::cli
