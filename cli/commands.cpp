#include "commands.h"

#include "core/backup.h"
#include "core/exit_codes.h"
#include "core/switch_text.h"
#include "core/viewer_name.h"
#include "platform/backup_store_win.h"
#include "platform/registry_win.h"
#include "platform/shell_notifier_win.h"
#include "platform/system_text_win.h"
#include "platform/viewer_control_probe_win.h"
#include "platform/text_win.h"

namespace quelvo::cli {
namespace {

constexpr std::string_view kUsage =
    "Usage : quelvo-cli <commande> [options]\n"
    "\n"
    "  list                                les sept viewers, le viewer actuel et ce qui semble installé\n"
    "  status [--json]                     le viewer actuel, les 29 valeurs et ce qui les masque\n"
    "  use <viewer> [--dry-run] [--user]   choisit le viewer (les 29 écritures d'un clic dans la fenêtre)\n"
    "  export <viewer> [-o FICHIER] [--user]   les 29 valeurs du viewer en fichier .reg\n"
    "  backup [-o FICHIER] [--user]        les emplacements tels qu'ils sont, en fichier .reg qui les remet\n"
    "  restore [FICHIER] [--user] [--dry-run]  remet la sauvegarde gardée avant le premier changement (ou FICHIER)\n"
    "  --help                              cette aide\n"
    "\n"
    "  --user       écrit sous HKEY_CURRENT_USER\\Software\\Classes, pour vous seul, sans droits d'administrateur\n"
    "  --dry-run    affiche les 29 écritures sans rien écrire\n"
    "  -o FICHIER   écrit le fichier .reg au lieu de la sortie standard (jamais par-dessus un fichier existant\n"
    "               sans --force, jamais par-dessus une sauvegarde de Quelvo)\n"
    "  --no-backup  change de viewer même si les valeurs d'avant ne peuvent pas être sauvegardées\n"
    "\n"
    "Codes de sortie : 0 réussi ; 1 échec (status : valeurs différentes ou masquées) ; 2 commande ou viewer\n"
    "inconnu ; 3 aucun viewer reconnu (status) ; 5 écriture refusée faute de droits (use) ; 7 aucune sauvegarde\n"
    "n'a pu être gardée, rien n'a été écrit (use) ; 8 fichier refusé ; 9 la sortie n'a pas pu être écrite.\n";

class NoDisplay : public ViewerDisplay {
    void SetStatusText(std::string_view) override {}
    void SetViewerChecked(const ViewerRecord &, bool) override {}
};

Scope ScopeOf(const Arguments &arguments) {
    return arguments.user ? Scope::CurrentUser : Scope::Machine;
}

const ViewerRecord *ViewerOrComplain(const std::string &name, Console &console) {
    if (const ViewerRecord *viewer = FindViewerByName(name)) return viewer;
    std::string names;
    for (const ViewerRecord &viewer : Viewers())
        names += std::string(names.empty() ? "" : ", ") + std::string(viewer.displayName);
    console.Err("Viewer inconnu : « " + name + " ». Les viewers sont : " + names + ".\n");
    return nullptr;
}

// A .reg file to -o FILE, or to standard output.
int Deliver(const std::vector<RegFileEntry> &entries, const Arguments &arguments, Console &console) {
    const std::string bytes = RegFileBytes(entries);
    if (arguments.outputFile) return WriteOutputFile(*arguments.outputFile, bytes, arguments.force, console);
    console.OutFile(bytes, RegFileText(entries));
    return kExitOk;
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
    return kExitOk;
}

// The backup's place is looked up only to be named: a switch refused at its first write never loads shell32.
void ReportBackup(const SwitchOutcome &outcome, BackupStore &store, Scope scope, Console &console) {
    const std::string restore = scope == Scope::Machine ? "quelvo-cli restore" : "quelvo-cli restore --user";
    if (!outcome.movedAside.empty()) console.Err("Attention : " + outcome.movedAside + ".\n");
    if (outcome.backup == BackupResult::Written)
        console.Out(std::string(outcome.beforeThisSwitch ? "Les valeurs d'avant ce changement (pas celles d'avant "
                                                           "Quelvo, qui ne sont plus connues)"
                                                         : "Les valeurs d'avant Quelvo") +
                    " ont été sauvegardées dans " + store.Location() + " ; pour y revenir : " + restore + "\n");
    if (outcome.backup == BackupResult::Skipped)
        console.Err("Avertissement : aucune sauvegarde n'a été gardée (" +
                    (outcome.unreadablePath.empty() ? SystemTextOf(outcome.backupError)
                                                    : "valeur illisible : " + outcome.unreadablePath) +
                    ") ; le viewer est choisi quand même, comme demandé par --no-backup.\n");
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

int ReportFailure(const ViewerRecord &viewer, const SwitchOutcome &outcome, Console &console) {
    std::string text = "Le viewer « " + std::string(viewer.displayName) + " » n'a pas pu être choisi.\n";
    text += "Cette clé du registre n'a pas pu être écrite : " + outcome.failedPath + "\n";
    text += "Windows indique : " + SystemTextOf(outcome.error) + "\n";
    text += WhatStaysText(outcome.writesDone) + "\n";
    if (outcome.error == kRegistryAccessDenied)
        text += "Il faut les droits d'administrateur : lancez la commande depuis une invite exécutée en tant "
                "qu'administrateur, ou ajoutez --user pour choisir le viewer pour vous seul.\n";
    console.Err(text);
    return outcome.error == kRegistryAccessDenied ? kExitAccessDenied : kExitFailed;
}

int UseViewer(const Arguments &arguments, Console &console) {
    const ViewerRecord *viewer = ViewerOrComplain(arguments.viewer, console);
    if (!viewer) return kExitUsage;
    const Scope scope = ScopeOf(arguments);
    if (arguments.dryRun) return PrintDryRun(*viewer, scope, console);
    if (!RegistryViewerControlProbe().IsRegistered(*viewer))
        console.Err("Avertissement : le contrôle de « " + std::string(viewer->displayName) +
                    " » n'est pas enregistré sur ce PC (voir quelvo-cli list) ; le viewer est choisi quand même.\n");
    Win32Registry registry;
    FileBackupStore machineBackup(Scope::Machine), userBackup(Scope::CurrentUser);
    Win32ShellNotifier shell;
    NoDisplay display;
    const SwitchOutcome outcome = SwitchViewer(
        *viewer, {registry, registry, machineBackup, shell, scope, &userBackup, arguments.noBackup}, display);
    BackupStore &store = scope == Scope::Machine ? static_cast<BackupStore &>(machineBackup) : userBackup;
    ReportBackup(outcome, store, scope, console);
    if (outcome.StoppedForBackup()) return ReportNoBackup(*viewer, outcome, store, console);
    if (!outcome.Succeeded()) return ReportFailure(*viewer, outcome, console);
    console.Out("« " + std::string(viewer->displayName) + " » est maintenant le viewer par défaut" +
                (scope == Scope::CurrentUser ? " pour l'utilisateur actuel" : "") + " (" +
                std::to_string(outcome.writesDone) + " valeurs écrites).\n");
    return kExitOk;
}

int ExportViewer(const Arguments &arguments, Console &console) {
    const ViewerRecord *viewer = ViewerOrComplain(arguments.viewer, console);
    if (!viewer) return kExitUsage;
    return Deliver(ExportEntries(*viewer, ScopeOf(arguments)), arguments, console);
}

int BackUp(const Arguments &arguments, Console &console) {
    Win32Registry registry;
    return Deliver(BackupEntries(ScopeOf(arguments), registry), arguments, console);
}

} // namespace

std::string SystemTextOf(unsigned long error) {
    return Narrow(SystemText(error)) + " (erreur " + std::to_string(error) + ")";
}

void PrintUsage(Console &console, bool toErr) {
    toErr ? console.Err(kUsage) : console.Out(kUsage);
}

int Run(const Arguments &arguments, Console &console) {
    switch (arguments.verb) {
    case Verb::Help:
        PrintUsage(console, false);
        return kExitOk;
    case Verb::List:
        return ListViewers(console);
    case Verb::Status:
        return ShowStatus(arguments, console);
    case Verb::Use:
        return UseViewer(arguments, console);
    case Verb::Export:
        return ExportViewer(arguments, console);
    case Verb::Backup:
        return BackUp(arguments, console);
    case Verb::Restore:
        return RestoreBackup(arguments, console);
    }
    return kExitUsage;
}

} // namespace quelvo::cli
