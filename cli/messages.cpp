#include "messages.h"

#include "core/exit_codes.h"
#include "core/messages.h"
#include "core/detection.h"
#include "core/viewer_name.h"
#include "core/text_escape.h"

#include <algorithm>
#include <array>

namespace quelvo::cli {
namespace {

constexpr std::size_t kReadLinesShown = 6;

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
    if (place.winner == Winner::UserKey) return "  " + place.name + " : sa propre clé " + KeyOf(place.userPath) + "\n";
    return "  " + place.name + " : ses propres réglages, qui n'ont pas pu être lus\n";
}

// A line of a file someone else may have written: shown escaped, so that none steers the terminal.
std::string Printable(std::string_view text) {
    return EscapeControls(text);
}

std::string PlaceText(const LocationStatus &place) {
    return place.path + " = " + ValueText({place.state, place.text}) + " (attendu \"" + place.expected + "\")";
}

std::string HidingText(const PlaceVerdict &place) {
    std::string line = WhyLine(place);
    return line.substr(2, line.size() - 3); // without its indent and line end
}

std::string_view FrenchState(LinkState state) {
    switch (state) {
    case LinkState::Ok:
        return "ok";
    case LinkState::Broken:
        return "CASSÉ";
    case LinkState::Unknown:
        break;
    }
    return "inconnu";
}

// What was read that the verdict rests on: the values found, or where nothing was found, the first places looked.
std::string ReadLines(const Link &link) {
    std::vector<const ReadItem *> shown;
    for (const ReadItem &item : link.read)
        if (item.value != "absent" && shown.size() < kReadLinesShown) shown.push_back(&item);
    for (std::size_t i = 0; shown.empty() && i < link.read.size() && i < 2; ++i)
        shown.push_back(&link.read[i]);
    std::string text;
    for (const ReadItem *item : shown)
        text += "             lu : " + EscapeControls(item->path) + " = " + EscapeControls(item->value) + "\n";
    if (link.read.size() > shown.size())
        text +=
            "             (et " + std::to_string(link.read.size() - shown.size()) + " autre(s) lecture(s) : --json)\n";
    return text;
}

std::string ViewsText(ServerViews views) {
    if (views.view32 && views.view64) return "enregistré en 32 et en 64 bits";
    if (views.view32) return "enregistré en 32 bits";
    if (views.view64) return "enregistré en 64 bits";
    return "non enregistré";
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
           (finalCode == code ? " ; le code de sortie " + std::to_string(code) +
                                    " dit ce qui a été fait : " + std::string(ExitCodeText(code))
                              : std::string()) +
           ".\n";
}

std::string AlsoUserRefusedText() {
    return "--also-user est refusé sous le compte système ou un service : HKEY_CURRENT_USER y est le profil du "
           "système, celui d'aucun utilisateur. Rien n'a été écrit.\n";
}

std::string ControlNotRegisteredText(const ViewerRecord &viewer) {
    return "Avertissement : le contrôle de " + Quoted(viewer) +
           " n'est pas enregistré sur ce PC (voir quelvo-cli list).\n";
}

std::string DryRunText(const ViewerRecord &viewer, const std::vector<RegistryWrite> &writes) {
    std::string text = "Écritures prévues pour " + Quoted(viewer) + " (rien n'est écrit) :\n";
    for (const RegistryWrite &write : writes)
        text += KeyOf(write.path) + "\t" + ValueNameOf(write.path) + "\t\"" + write.value + "\"\n";
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
               KeyOf(outcome.failedPath) +
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
                "choisir le même viewer pour lui aussi : quelvo-cli use \"" +
                std::string(viewer.displayName) + "\" --user\n";
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
           "propres valeurs par utilisateur) : " +
           Printable(line) + "\n";
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
    return "Le fichier « " + path +
           " » est une sauvegarde que Quelvo garde : il n'est jamais remplacé, même avec "
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

// Registry text goes out escaped: anyone may have planted it.
std::string ValueText(const SeenValue &value) {
    switch (value.state) {
    case ValueState::Text:
        return "\"" + EscapeControls(value.text) + "\"";
    case ValueState::Absent:
        return "absent";
    case ValueState::NotText:
        return "pas du texte";
    case ValueState::Unreadable:
        return "illisible";
    }
    return {};
}

std::string KeyOf(const std::string &path) {
    return path.substr(0, path.rfind('\\'));
}

std::string WhyLine(const PlaceVerdict &place) {
    std::string line = "  " + place.name + " : ";
    switch (place.winner) {
    case Winner::Machine:
        return line + "la valeur de la machine\n";
    case Winner::UserKey:
        return line + "sa propre clé " + KeyOf(place.userPath) + ", qui masque celle de la machine même vide (" +
               (place.kind == PlaceVerdict::Kind::ContentType ? "CLSID" : "valeur par défaut") + " = " +
               ValueText(place.user) + ")\n";
    case Winner::UserChoice:
        return line + "son choix « Ouvrir avec » " + place.choicePath + " = " + ValueText(place.choice) +
               ", qui l'emporte pour un double-clic\n";
    case Winner::Unknown:
        break;
    }
    if (place.userKey == KeyState::Unknown)
        return line + "sa propre clé " + KeyOf(place.userPath) + " n'a pas pu être lue\n";
    return line + "son choix « Ouvrir avec » " + place.choicePath + " = " + ValueText(place.choice) + " (illisible)\n";
}

std::string StatusText(const StatusReport &report) {
    std::string text = "Viewer de la machine : " +
                       (report.viewer ? std::string(report.viewer->displayName) : std::string("aucun viewer reconnu")) +
                       " (d'après " + std::string(kMachineDetectionPath) + ")\n\nLes " +
                       std::to_string(report.locations.size()) + " emplacements de la machine :\n";
    std::size_t differing = 0;
    for (const LocationStatus &location : report.locations) {
        const bool judged = report.viewer != nullptr;
        differing += judged && !location.matches;
        text += std::string(!judged            ? "  ?  "
                            : location.matches ? "  ok "
                                               : "  ≠  ") +
                location.path + " = " + ValueText({location.state, location.text});
        if (judged && !location.matches) text += " (attendu : \"" + location.expected + "\")";
        text += "\n";
    }
    const std::size_t hidden = report.hiding.Hiding().size();
    if (!report.hiding.usersChecked) {
        text += "\nCompte système ou service : HKEY_CURRENT_USER est ici le profil du système, celui d'aucun "
                "utilisateur. Les réglages propres aux utilisateurs n'ont pas été vérifiés.\n";
    } else {
        text += "\nCe qui l'emporte pour cet utilisateur :\n";
        for (const PlaceVerdict &place : report.hiding.places)
            text += WhyLine(place);
    }
    if (!report.viewer) return text + "\nBilan : aucun viewer reconnu.\n";
    switch (report.ExitCode()) {
    case ToInt(ExitCode::Ok):
        return text + "\nBilan : cohérent.\n";
    case ToInt(ExitCode::UsersNotChecked):
        return text + "\nBilan : les valeurs de la machine sont en place ; réglages des utilisateurs non vérifiés.\n";
    default:
        break;
    }
    return text + "\nBilan : " + std::to_string(differing) + " valeur(s) différente(s)" +
           (report.hiding.usersChecked
                ? ", " + std::to_string(hidden) + " emplacement(s) masqué(s) pour cet utilisateur"
                : std::string()) +
           ".\n";
}

// The verdict and its counts first, the details after: a cut line loses only details.
std::string CheckLineText(const CheckReport &report) {
    const std::string name(report.viewer->displayName);
    const std::size_t differing = std::ranges::count(report.machine, false, &LocationStatus::matches);
    const std::string of = std::to_string(report.machine.size());
    std::string line = std::string(report.InPlace() ? "en place : " : "à réparer : ") + name +
                       (report.forUser ? " pour cet utilisateur" : " sur ce PC");
    line += differing == 0 ? " ; les " + of + " valeurs de la machine sont les siennes"
                           : " ; " + std::to_string(differing) + " des " + of + " valeurs de la machine diffèrent";
    const std::vector<const PlaceVerdict *> hiding =
        report.hiding.usersChecked ? report.hiding.Hiding() : std::vector<const PlaceVerdict *>();
    if (report.forUser && !report.userGets.empty())
        line += " ; " + std::to_string(report.userGets.size()) + " réglage(s) de l'utilisateur donnent autre chose";
    else if (!report.forUser && !hiding.empty())
        line += " ; " + std::to_string(hiding.size()) +
                " emplacement(s) masqué(s) pour cet utilisateur (use ne les change pas)";
    if (!report.hiding.usersChecked) line += " ; réglages propres aux utilisateurs non vérifiés (compte système)";
    for (const LocationStatus &place : report.machine)
        if (!place.matches) line += " ; " + PlaceText(place);
    if (report.forUser)
        for (const LocationStatus &gets : report.userGets)
            line += " ; " + PlaceText(gets);
    else
        for (const PlaceVerdict *place : hiding)
            line += " ; " + HidingText(*place);
    return line;
}

std::string ChainText(const Chain &chain) {
    std::string text = std::string(chain.viewer->displayName) +
                       " : ce qui reste entre ce viewer et une image 3D, pour le compte qui lance cette commande\n";
    for (const Link &link : chain.links) {
        std::string name(LinkName(link.id));
        name.resize(9, ' ');
        text += "  " + name + "  " + std::string(FrenchState(link.state));
        if (link.state == LinkState::Ok) {
            text += "\n";
            continue;
        }
        text += " : " + EscapeControls(link.reason) + "\n" + ReadLines(link) +
                "             à faire : " + EscapeControls(link.advice) + "\n";
    }
    if (chain.Ready()) return text + "Bilan : prêt, aucun maillon cassé.\n";
    const Link *broken = chain.FirstBroken();
    return text + "Bilan : " +
           (broken ? "pas prêt ; premier maillon cassé : " + std::string(LinkName(broken->id))
                   : std::string("aucun maillon cassé, mais certains n'ont pas pu être vérifiés")) +
           ".\n";
}

std::string FirstBrokenLine(const Chain &chain) {
    const Link *broken = chain.FirstBroken();
    if (!broken) return {};
    return "Vers une image 3D : le maillon « " + std::string(LinkName(broken->id)) + " » est cassé (" +
           EscapeControls(broken->reason) + ") ; détail : quelvo-cli diagnose\n";
}

std::string ControlLines(const ViewerRecord &viewer, InstallationProbe &probe) {
    std::string text =
        "    contrôle " + std::string(viewer.vrmlClsid) + " : " + ViewsText(probe.InprocServer(viewer.vrmlClsid));
    if (viewer.x3dClsid != viewer.vrmlClsid)
        text += "\n    contrôle X3D " + std::string(viewer.x3dClsid) + " : " +
                ViewsText(probe.InprocServer(viewer.x3dClsid));
    text += "\n    type de fichier " + std::string(viewer.extensionProgId) + " : " +
            (probe.ProgIdExists(viewer.extensionProgId) ? "présent" : "absent") + "\n";
    for (const ViewerRecord *other : ViewersSharingAClass(viewer))
        text += "    identifiant de classe partagé avec " + std::string(other->displayName) +
                " : le registre ne dit pas lequel des deux est installé\n";
    return text;
}

} // namespace quelvo::cli
