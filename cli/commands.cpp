#include "commands.h"
#include "diagnose.h"
#include "report.h"

#include "core/backup.h"
#include "core/switch.h"
#include "core/default_associations.h"
#include "core/in_place.h"
#include "core/hiding.h"
#include "core/text_escape.h"
#include "core/switch_text.h"
#include "core/viewer_name.h"
#include "platform/backup_store_win.h"
#include "platform/installation_probe_win.h"
#include "platform/elevation_win.h"
#include "platform/registry_win.h"
#include "platform/shell_notifier_win.h"
#include "platform/switch_lock_win.h"
#include "platform/system_text_win.h"
#include "platform/text_win.h"

namespace quelvo::cli {
namespace {

constexpr std::string_view kUsage =
    "Usage : quelvo-cli <commande> [options]\n"
    "\n"
    "  list                                les sept viewers, le viewer actuel et ce qui semble installé\n"
    "  status [--json]                     le viewer de la machine, ses 20 emplacements et ce qui l'emporte pour vous\n"
    "  use <viewer> [--dry-run] [--user | --also-user] [--wait SECONDES] [--no-backup] [--rewrite]\n"
    "                                      choisit le viewer (les 29 écritures d'un clic dans la fenêtre) ;\n"
    "                                      n'écrit rien si tout est déjà en place\n"
    "  check <viewer> [--user] [--json]    une ligne : 0 en place, 1 à réparer (pour Intune, ConfigMgr)\n"
    "  export <viewer> [-o FICHIER] [--user] [--force]   les valeurs du viewer en fichier .reg\n"
    "  export <viewer> --dism [-o FICHIER] [--force]   le fichier d'associations par défaut de Windows (DISM, Intune)\n"
    "  export --ie-mode [<viewer>] [--site URL]... [-o FICHIER] [--force]\n"
    "                                      les stratégies qui ouvrent le mode Internet Explorer de Microsoft Edge\n"
    "                                      aux fichiers du viewer (et, avec --site et -o, la liste de sites à côté)\n"
    "  diagnose [<viewer>] [--json]        ce qui reste entre le viewer (par défaut celui de la machine) et une\n"
    "                                      image 3D : values, hidden, control, blocked, browser, files\n"
    "  backup [-o FICHIER] [--user] [--force]  les 20 emplacements tels qu'ils sont, en fichier .reg qui les remet\n"
    "  restore [FICHIER] [--user] [--dry-run] [--wait SECONDES]\n"
    "                                      remet la sauvegarde gardée avant le premier changement (ou FICHIER)\n"
    "  --help                              cette aide\n"
    "\n"
    "  --user          écrit sous HKEY_CURRENT_USER\\Software\\Classes, pour vous seul, sans droits d'administrateur\n"
    "  --also-user     après les valeurs de la machine, fait aussi le changement pour vous seul\n"
    "  --wait SECONDES attend au plus ce temps qu'un autre changement de la machine finisse (10 par défaut)\n"
    "  --dry-run       affiche les 29 écritures sans rien écrire\n"
    "  --rewrite       fait les 29 écritures même si tout est déjà en place\n"
    "  -o FICHIER      écrit le fichier .reg au lieu de la sortie standard (jamais par-dessus un fichier existant\n"
    "                  sans --force, jamais par-dessus une sauvegarde de Quelvo)\n"
    "  --no-backup     change de viewer même si les valeurs d'avant ne peuvent pas être sauvegardées\n"
    "\n"
    "Codes de sortie :\n";

std::string UsageText() {
    std::string text(kUsage);
    for (const ExitCodeMeaning &meaning : kExitCodeMeanings)
        text += "  " + std::to_string(ToInt(meaning.code)) + "  " + std::string(meaning.text) + "\n";
    return text;
}

Scope ScopeOf(const Arguments &arguments) {
    return arguments.user ? Scope::CurrentUser : Scope::Machine;
}

} // namespace

const ViewerRecord *ViewerOrComplain(const std::string &name, Console &console) {
    if (const ViewerRecord *viewer = FindViewerByName(name)) return viewer;
    std::string names;
    for (const ViewerRecord &viewer : Viewers())
        names += std::string(names.empty() ? "" : ", ") + std::string(viewer.displayName);
    console.Err("Viewer inconnu : « " + name + " ». Les viewers sont : " + names + ".\n");
    return nullptr;
}

namespace {

// A file's bytes to -o FILE, or to standard output (as text in a console window).
int Deliver(const std::string &bytes, const std::string &text, const Arguments &arguments, Console &console) {
    if (arguments.outputFile) return WriteOutputFile(*arguments.outputFile, bytes, arguments.force, console);
    console.OutFile(bytes, text);
    return ToInt(ExitCode::Ok);
}

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

int UseViewer(const Arguments &arguments, Console &console, Account account, const MachineGuard &guard) {
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

int Deliver(const std::vector<RegFileEntry> &entries, const Arguments &arguments, Console &console) {
    return Deliver(RegFileBytes(entries), RegFileText(entries), arguments, console);
}

int ExportViewer(const Arguments &arguments, Console &console) {
    if (arguments.ieMode) return ExportIeMode(arguments, console);
    const ViewerRecord *viewer = ViewerOrComplain(arguments.viewer, console);
    if (!viewer) return ToInt(ExitCode::Usage);
    if (!arguments.dism) return Deliver(ExportEntries(*viewer, ScopeOf(arguments)), arguments, console);
    if (!Win32InstallationProbe().ProgIdExists(viewer->extensionProgId))
        console.Err("Avertissement : le type de fichier « " + std::string(viewer->extensionProgId) +
                    " » n'est pas enregistré sur ce PC (voir quelvo-cli list). Windows n'applique une association "
                    "qu'à un type de fichier enregistré sur le PC qui la reçoit ; le fichier est écrit quand même.\n");
    if (const std::vector<std::string_view> left = ExtensionsLeftOut(*viewer); !left.empty()) {
        std::string names;
        for (std::string_view extension : left)
            names += std::string(names.empty() ? "" : ", ") + std::string(extension);
        console.Err("Remarque : " + names +
                    " ne sont pas dans le fichier. Windows prend pour extension d'un fichier "
                    "ce qui suit le dernier point de son nom (« exemple.wrl.gz » est un fichier .gz) : il ne cherche "
                    "jamais ces extensions, et une association pour elles ne servirait à rien.\n");
    }
    const std::string xml = DefaultAssociationsXml(*viewer);
    return Deliver(xml, xml, arguments, console);
}

int BackUp(const Arguments &arguments, Console &console) {
    Win32Registry registry;
    return Deliver(BackupEntries(ScopeOf(arguments), registry), arguments, console);
}

} // namespace

// Another machine switch must not interleave its writes with ours: nothing is written without the lock.
std::optional<int> RefusedByLock(const LockResult &lock, const Arguments &arguments, Console &console,
                                 Elevation &elevation) {
    if (lock.state == LockState::HeldAfterAbandon) console.Err(LockText(lock, arguments.waitSeconds) + "\n");
    if (lock.Held() || GoesOnWithoutLock(lock, elevation.ReadRights().AlreadyAdministrator())) return std::nullopt;
    std::string text = LockText(lock, arguments.waitSeconds);
    if (lock.state == LockState::Unavailable) text += " Windows indique : " + SystemTextOf(lock.error) + ".";
    console.Err(text + "\n");
    return ToInt(ExitCode::LockBusy);
}

std::string SystemTextOf(unsigned long error) {
    return Narrow(SystemText(error)) + " (erreur " + std::to_string(error) + ")";
}

void PrintUsage(Console &console, bool toErr) {
    toErr ? console.Err(UsageText()) : console.Out(UsageText());
}

int Run(const Arguments &arguments, Console &console, Account account) {
    Win32SwitchLock lock;
    ShellElevation elevation;
    return Run(arguments, console, account, {lock, elevation});
}

int Run(const Arguments &arguments, Console &console, Account account, const MachineGuard &guard) {
    switch (arguments.verb) {
    case Verb::Help:
        PrintUsage(console, false);
        return ToInt(ExitCode::Ok);
    case Verb::List:
        return ListViewers(console);
    case Verb::Status:
        return ShowStatus(arguments, console, account);
    case Verb::Use:
        return UseViewer(arguments, console, account, guard);
    case Verb::Export:
        return ExportViewer(arguments, console);
    case Verb::Backup:
        return BackUp(arguments, console);
    case Verb::Restore:
        return RestoreBackup(arguments, console, guard);
    case Verb::Check:
        return CheckViewerCommand(arguments, console, account);
    case Verb::Diagnose:
        return DiagnoseCommand(arguments, console, account);
    }
    return ToInt(ExitCode::Usage);
}

} // namespace quelvo::cli
