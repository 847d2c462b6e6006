#include "commands.h"
#include "report.h"

#include "core/backup.h"
#include "core/default_associations.h"
#include "core/in_place.h"
#include "core/switch_text.h"
#include "core/viewer_name.h"
#include "platform/account_win.h"
#include "platform/backup_store_win.h"
#include "platform/installation_probe_win.h"
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
    "  use <viewer> [--dry-run] [--user] [--rewrite]\n"
    "                                      choisit le viewer (les 29 écritures d'un clic dans la fenêtre) ;\n"
    "                                      n'écrit rien si tout est déjà en place\n"
    "  check <viewer> [--user] [--json]    une ligne : 0 en place, 1 à réparer (pour Intune, ConfigMgr)\n"
    "  export <viewer> [-o FICHIER] [--user]   les 29 valeurs du viewer en fichier .reg\n"
    "  export <viewer> --dism [-o FICHIER] le fichier d'associations par défaut de Windows (DISM, Intune)\n"
    "  backup [-o FICHIER] [--user]        les 29 emplacements tels qu'ils sont, en fichier .reg qui les remet\n"
    "  --help                              cette aide\n"
    "\n"
    "  --user       écrit sous HKEY_CURRENT_USER\\Software\\Classes, pour vous seul, sans droits d'administrateur\n"
    "  --dry-run    affiche les 29 écritures sans rien écrire\n"
    "  --rewrite    fait les 29 écritures même si tout est déjà en place\n"
    "  -o FICHIER   écrit le fichier .reg au lieu de la sortie standard\n"
    "\n"
    "Codes de sortie : 0 réussi ; 1 échec (status : valeurs différentes ou masquées) ; 2 commande ou viewer\n"
    "inconnu ; 3 aucun viewer reconnu (status) ; 5 écriture refusée faute de droits (use).\n";

class NoDisplay : public ViewerDisplay {
    void SetStatusText(std::string_view) override {}
    void SetViewerChecked(const ViewerRecord &, bool) override {}
};

std::string SystemTextOf(RegistryError error) {
    return Narrow(SystemText(error)) + " (erreur " + std::to_string(error) + ")";
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
    if (!arguments.outputFile) {
        console.OutFile(bytes, text);
        return ToInt(ExitCode::Ok);
    }
    HANDLE file = CreateFileW(Widen(*arguments.outputFile).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok = file != INVALID_HANDLE_VALUE &&
                    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    const DWORD error = GetLastError();
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (ok) return ToInt(ExitCode::Ok);
    console.Err("Le fichier « " + *arguments.outputFile + " » n'a pas pu être écrit : " + SystemTextOf(error) + "\n");
    return ToInt(ExitCode::Failed);
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

void ReportBackup(const SwitchOutcome &outcome, const std::wstring &path, Console &console) {
    if (outcome.backup == BackupResult::Written)
        console.Out("Les valeurs d'avant ont été sauvegardées dans " + Narrow(path) +
                    " ; pour y revenir : reg import \"" + Narrow(path) + "\"\n");
    if (outcome.backup == BackupResult::Failed)
        console.Err("Avertissement : la sauvegarde des valeurs d'avant n'a pas pu être écrite dans « " + Narrow(path) +
                    " » : " + SystemTextOf(outcome.backupError) + ". Le viewer est choisi quand même.\n");
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
    return outcome.error == kRegistryAccessDenied ? ToInt(ExitCode::AccessDenied) : ToInt(ExitCode::Failed);
}

int Deliver(const std::vector<RegFileEntry> &entries, const Arguments &arguments, Console &console) {
    return Deliver(RegFileBytes(entries), RegFileText(entries), arguments, console);
}

// A user's own keys hide the machine's values; nothing but the user's "Ouvrir avec" choice hides their own keys.
void PrintWhatHides(Scope scope, RegistryReader &registry, Console &console) {
    const HidingReport hiding = CheckHiding(registry, CurrentAccount());
    if (!hiding.usersChecked) {
        console.Out("Compte système ou service : les réglages propres aux utilisateurs n'ont pas été vérifiés.\n");
        return;
    }
    std::string text;
    for (const PlaceVerdict *place : hiding.Hiding())
        if (scope == Scope::Machine || place->winner == Winner::UserChoice) text += WhyLine(*place);
    if (!text.empty())
        console.Out(std::string(scope == Scope::Machine ? "Ce qui masque les valeurs de la machine pour cet utilisateur"
                                                        : "Ce qui masque vos valeurs par utilisateur") +
                    " :\n" + text);
}

int ReportInPlace(const ViewerRecord &viewer, Scope scope, std::size_t places, RegistryReader &registry,
                  Console &console) {
    PrintWhatHides(scope, registry, console);
    console.Out("« " + std::string(viewer.displayName) + " » est déjà en place" +
                (scope == Scope::CurrentUser ? " pour l'utilisateur actuel" : "") + " : les " + std::to_string(places) +
                " valeurs sont celles du viewer, rien n'a été écrit (--rewrite pour les écrire quand même).\n");
    return ToInt(ExitCode::Ok);
}

int UseViewer(const Arguments &arguments, Console &console) {
    const ViewerRecord *viewer = ViewerOrComplain(arguments.viewer, console);
    if (!viewer) return ToInt(ExitCode::Usage);
    const Scope scope = ScopeOf(arguments);
    if (arguments.dryRun) return PrintDryRun(*viewer, scope, console);
    if (!RegistryViewerControlProbe().IsRegistered(*viewer))
        console.Err("Avertissement : le contrôle de « " + std::string(viewer->displayName) +
                    " » n'est pas enregistré sur ce PC (voir quelvo-cli list) ; le viewer est choisi quand même.\n");
    Win32Registry registry;
    // Nothing to change: no write, no backup, no shell notice (and shell32 stays unloaded).
    if (!arguments.rewrite) {
        const std::vector<LocationStatus> places = CompareWithEndState(*viewer, scope, registry);
        if (AllMatch(places)) return ReportInPlace(*viewer, scope, places.size(), registry, console);
    }
    FileBackupStore backup(MachineBackupPath());
    Win32ShellNotifier shell;
    NoDisplay display;
    const SwitchOutcome outcome = SwitchViewer(*viewer, {registry, registry, backup, shell, scope}, display);
    ReportBackup(outcome, backup.Path(), console);
    if (!outcome.Succeeded()) return ReportFailure(*viewer, outcome, console);
    PrintWhatHides(scope, registry, console);
    console.Out("« " + std::string(viewer->displayName) + " » est maintenant le viewer par défaut" +
                (scope == Scope::CurrentUser ? " pour l'utilisateur actuel" : "") + " (" +
                std::to_string(outcome.writesDone) + " valeurs écrites).\n");
    return ToInt(ExitCode::Ok);
}

int ExportViewer(const Arguments &arguments, Console &console) {
    const ViewerRecord *viewer = ViewerOrComplain(arguments.viewer, console);
    if (!viewer) return ToInt(ExitCode::Usage);
    if (!arguments.dism) return Deliver(ExportEntries(*viewer, ScopeOf(arguments)), arguments, console);
    if (!Win32InstallationProbe().ProgIdExists(viewer->extensionProgId))
        console.Err("Avertissement : le type de fichier « " + std::string(viewer->extensionProgId) +
                    " » n'est pas enregistré sur ce PC (voir quelvo-cli list). Windows n'applique une association "
                    "qu'à un type de fichier enregistré sur le PC qui la reçoit ; le fichier est écrit quand même.\n");
    const std::string xml = DefaultAssociationsXml(*viewer);
    return Deliver(xml, xml, arguments, console);
}

int BackUp(const Arguments &arguments, Console &console) {
    Win32Registry registry;
    return Deliver(BackupEntries(ScopeOf(arguments), registry), arguments, console);
}

} // namespace

void PrintUsage(Console &console, bool toErr) {
    toErr ? console.Err(kUsage) : console.Out(kUsage);
}

int Run(const Arguments &arguments, Console &console) {
    switch (arguments.verb) {
    case Verb::Help:
        PrintUsage(console, false);
        return ToInt(ExitCode::Ok);
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
    case Verb::Check:
        return CheckViewerCommand(arguments, console);
    }
    return ToInt(ExitCode::Usage);
}

} // namespace quelvo::cli
