// use: the switch itself, with its backup, what a refused write leaves and what still hides it for the user.
#include "commands.h"
#include "report.h"

#include "core/backup.h"
#include "core/in_place.h"
#include "core/switch.h"
#include "core/switch_text.h"
#include "core/text_escape.h"
#include "platform/backup_store_win.h"
#include "platform/installation_probe_win.h"
#include "platform/registry_win.h"
#include "platform/shell_notifier_win.h"
#include "platform/system_text_win.h"
#include "platform/text_win.h"

namespace quelvo::cli {
namespace {

std::string ValueNameOf(const std::string &path) {
    const std::string name = path.substr(path.rfind('\\') + 1);
    return name.empty() ? "(par défaut)" : name;
}

int PrintDryRun(const ViewerRecord &viewer, Scope scope, Console &console) {
    std::string text = "Écritures prévues pour « " + std::string(viewer.displayName) + " » (rien n'est écrit) :\n";
    for (const RegistryWrite &write : SwitchWrites(viewer, scope))
        text += write.path.substr(0, write.path.rfind('\\')) + "\t" + ValueNameOf(write.path) + "\t\"" + write.value +
                "\"\n";
    console.Out(text);
    return ToInt(ExitCode::Ok);
}

// The backup's place is looked up only to be named: a switch refused at its first write never loads shell32.
void ReportBackup(const SwitchOutcome &outcome, BackupStore &store, Scope scope, Console &console) {
    const std::string restore = scope == Scope::Machine ? "quelvo-cli restore" : "quelvo-cli restore --user";
    if (!outcome.movedAside.empty()) console.Err("Attention : " + outcome.movedAside + ".\n");
    if (outcome.backup == BackupResult::Written)
        console.Err(std::string(outcome.beforeThisSwitch ? "Les valeurs d'avant ce changement (pas celles d'avant "
                                                           "Quelvo, qui ne sont plus connues)"
                                                         : "Les valeurs d'avant Quelvo") +
                    " ont été sauvegardées dans " + store.Location() + " ; pour y revenir : " + restore + "\n");
    if (outcome.backup == BackupResult::Skipped)
        console.Err("Avertissement : aucune sauvegarde n'a été gardée (" +
                    (outcome.unreadablePath.empty() ? SystemTextOf(outcome.backupError)
                                                    : "valeur illisible : " + outcome.unreadablePath) +
                    ") ; le viewer est choisi quand même, comme demandé par --no-backup.\n");
}

// A per-user switch also names what it copied of the machine's keys into the keys it created.
std::string WrittenText(const SwitchOutcome &outcome) {
    std::string text = std::to_string(outcome.writesDone) + " valeurs écrites";
    if (outcome.valuesCopied > 0)
        text += ", " + std::to_string(outcome.valuesCopied) +
                " autre(s) copiée(s) des clés de la machine, que les nouvelles clés masqueraient sinon";
    return text;
}

int ReportNoBackup(const ViewerRecord &viewer, const SwitchOutcome &outcome, BackupStore &store, Console &console) {
    std::string text = "Le viewer « " + std::string(viewer.displayName) +
                       " » n'a pas été choisi : rien n'a été écrit, car les valeurs d'avant n'ont pas pu être "
                       "sauvegardées.\n";
    if (outcome.backup == BackupResult::Unreadable)
        text += "Cette valeur n'a pas pu être lue : " + outcome.unreadablePath + "\n";
    else
        text += "La sauvegarde n'a pas pu être écrite dans « " + store.Location() + " ».\n";
    text += "Windows indique : " + SystemTextOf(outcome.backupError) + "\n";
    text += "Pour changer quand même, sans sauvegarde : ajoutez --no-backup.\n";
    console.Err(text);
    return ToInt(ExitCode::NoBackup);
}

int ReportFailure(const ViewerRecord &viewer, const SwitchOutcome &outcome, Console &console, Elevation &elevation) {
    std::string text = FailedSwitchText(viewer, outcome, Narrow(SystemText(outcome.error)), TextLayout::Lines);
    if (outcome.error == kRegistryAccessDenied && elevation.ReadRights().AlreadyAdministrator())
        text += "Ce programme a déjà les droits d'administrateur : c'est la sécurité propre de la clé " +
                outcome.failedPath.substr(0, outcome.failedPath.rfind('\\')) +
                " qui refuse l'écriture. Voyez ses autorisations dans l'Éditeur du registre.\n";
    else if (outcome.error == kRegistryAccessDenied)
        text += "Il faut les droits d'administrateur : lancez la commande depuis une invite exécutée en tant "
                "qu'administrateur, ou ajoutez --user pour choisir le viewer pour vous seul.\n";
    console.Err(text);
    return outcome.error == kRegistryAccessDenied ? ToInt(ExitCode::AccessDenied) : ToInt(ExitCode::Failed);
}

std::string HidingLine(const PlaceVerdict &place) {
    if (place.winner == Winner::UserChoice)
        return "  " + place.name + " : son choix « Ouvrir avec » (" + place.choicePath + " = \"" +
               EscapeControls(place.choice.text) + "\")\n";
    if (place.winner == Winner::UserKey)
        return "  " + place.name + " : sa propre clé " + place.userPath.substr(0, place.userPath.rfind('\\')) + "\n";
    return "  " + place.name + " : ses propres réglages, qui n'ont pas pu être lus\n";
}

// What the person running the command gets instead of the values just written, said once after the writes.
void ReportHiding(const ViewerRecord &viewer, RegistryReader &registry, Account account, Console &console) {
    const HidingReport report = CheckHiding(registry, account);
    if (!report.usersChecked) {
        console.Err("Compte système ou service : ce qui pourrait masquer ces valeurs pour chaque utilisateur n'a pas "
                    "été vérifié (voir quelvo-cli status dans la session de l'utilisateur).\n");
        return;
    }
    std::string lines;
    bool keys = false, choices = false;
    for (const PlaceVerdict &place : report.places) {
        if (!place.Differs()) continue;
        lines += HidingLine(place);
        keys = keys || place.winner == Winner::UserKey;
        choices = choices || place.winner == Winner::UserChoice;
    }
    if (lines.empty()) return;
    std::string text = "Pour l'utilisateur actuel, ses propres réglages l'emportent sur ces valeurs :\n" + lines;
    if (keys)
        text += "Ses propres clés continueront de l'emporter sur les changements suivants de la machine. Pour "
                "choisir le même viewer pour lui aussi : quelvo-cli use \"" + std::string(viewer.displayName) +
                "\" --user\n";
    if (choices)
        text += "Un choix « Ouvrir avec » ne peut être changé que par l'utilisateur lui-même : Paramètres, "
                "Applications par défaut (Windows 10 et 11), ou Panneau de configuration, Programmes par défaut "
                "(Windows 8 et 8.1).\n";
    console.Err(text);
}


int SwitchForTheUserToo(const ViewerRecord &viewer, Win32Registry &registry, Console &console, Elevation &elevation) {
    FileBackupStore machineBackup(Scope::Machine), userBackup(Scope::CurrentUser); // the user's own backup first
    Win32ShellNotifier shell;
    const SwitchOutcome outcome =
        SwitchViewer(viewer, {registry, registry, machineBackup, shell, Scope::CurrentUser, &userBackup});
    ReportBackup(outcome, userBackup, Scope::CurrentUser, console);
    if (outcome.StoppedForBackup()) return ReportNoBackup(viewer, outcome, userBackup, console);
    if (!outcome.Succeeded()) return ReportFailure(viewer, outcome, console, elevation);
    console.Err("« " + std::string(viewer.displayName) + " » est aussi le viewer de l'utilisateur actuel (" +
                WrittenText(outcome) + ", sous " + std::string(kUserClasses) + ").\n");
    return ToInt(ExitCode::Ok);
}

} // namespace

int RunUse(const Arguments &arguments, Console &console, const VerbContext &context) {
    const Account account = context.account;
    const MachineGuard &guard = context.guard;
    const ViewerRecord *viewer = ViewerOrComplain(arguments.viewer, console);
    if (!viewer) return ToInt(ExitCode::Usage);
    const Scope scope = ScopeOf(arguments);
    if (arguments.alsoUser && account == Account::SystemOrService) {
        console.Err("--also-user est refusé sous le compte système ou un service : HKEY_CURRENT_USER y est le profil "
                    "du système, celui d'aucun utilisateur. Rien n'a été écrit.\n");
        return ToInt(ExitCode::Usage);
    }
    if (arguments.dryRun) return PrintDryRun(*viewer, scope, console);
    if (Win32InstallationProbe probe; !ControlRegistered(*viewer, probe))
        console.Err("Avertissement : le contrôle de « " + std::string(viewer->displayName) +
                    " » n'est pas enregistré sur ce PC (voir quelvo-cli list).\n");
    Win32Registry registry;
    FileBackupStore machineBackup(Scope::Machine), userBackup(Scope::CurrentUser);
    Win32ShellNotifier shell;
    // Nothing to change: no write, no backup, no shell notice (and shell32 stays unloaded). The machine's places
    // are read under the lock, so that no other switch is halfway through them.
    const auto inPlace = [&] {
        return !arguments.rewrite && AllMatch(CompareWithEndState(*viewer, scope, registry));
    };
    SwitchOutcome outcome;
    const SwitchServices services{registry, registry, machineBackup, shell, scope, &userBackup, arguments.noBackup};
    bool already = false;
    if (scope == Scope::Machine) {
        const LockHold hold(guard.lock, arguments.waitSeconds * 1000);
        if (const std::optional<int> refused = RefusedByLock(hold.Result(), arguments, console, guard.elevation))
            return *refused;
        already = inPlace();
        if (!already) outcome = SwitchViewer(*viewer, services);
    } else {
        already = inPlace();
        if (!already) outcome = SwitchViewer(*viewer, services);
    }
    if (already) {
        console.Err("« " + std::string(viewer->displayName) + " » est déjà en place" +
                    (scope == Scope::CurrentUser ? " pour l'utilisateur actuel" : "") +
                    " : rien n'a été écrit (--rewrite pour faire les écritures quand même).\n");
    } else {
        BackupStore &store = scope == Scope::Machine ? static_cast<BackupStore &>(machineBackup) : userBackup;
        ReportBackup(outcome, store, scope, console);
        if (outcome.StoppedForBackup()) return ReportNoBackup(*viewer, outcome, store, console);
        if (!outcome.Succeeded()) return ReportFailure(*viewer, outcome, console, guard.elevation);
        console.Err("« " + std::string(viewer->displayName) + " » est maintenant le viewer par défaut" +
                    (scope == Scope::CurrentUser ? " pour l'utilisateur actuel" : "") + " (" + WrittenText(outcome) +
                    ").\n");
    }
    if (scope == Scope::CurrentUser) return ToInt(ExitCode::Ok);
    const int userCode =
        arguments.alsoUser ? SwitchForTheUserToo(*viewer, registry, console, guard.elevation) : ToInt(ExitCode::Ok);
    ReportHiding(*viewer, registry, account, console);
    return userCode;
}

} // namespace quelvo::cli
