// quelvo-cli restore: a backup put back through the registry layer, and only the places Quelvo manages.
#include "commands.h"

#include "core/exit_codes.h"
#include "core/restore.h"
#include "core/text_escape.h"
#include "platform/backup_store_win.h"
#include "platform/registry_win.h"
#include "platform/shell_notifier_win.h"
#include "platform/switch_lock_win.h"
#include "platform/text_win.h"
#include "platform/unique_handle_win.h"

#include <algorithm>
#include <optional>

namespace quelvo::cli {
namespace {

// A line of a file someone else may have written: shown escaped, so that none steers the terminal.
std::string Printable(std::string_view text) {
    return EscapeControls(text);
}

int Refused(const std::string &name, const std::string &why, Console &console) {
    console.Err("La sauvegarde « " + Printable(name) + " » est refusée, rien n'a été écrit : " + Printable(why) +
                ".\n");
    return ToInt(ExitCode::FileRefused);
}

// The whole file, or the exit code once said why not: never a part of it, which could end inside a value.
std::optional<int> ReadNamedFile(const std::string &name, std::string &bytes, Console &console) {
    HANDLE opened = CreateFileW(Widen(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        console.Err("Le fichier « " + Printable(name) + " » n'a pas pu être ouvert : " + SystemTextOf(GetLastError()) +
                    "\n");
        return ToInt(ExitCode::Failed);
    }
    UniqueKernelHandle file(opened);
    if (DWORD error = 0; !ReadWholeFile(file.Get(), bytes, error))
        return Refused(name, "il n'a pas pu être lu en entier (" + SystemTextOf(error) + ")", console);
    return std::nullopt;
}

std::string ActionText(const RestoreAction &action) {
    switch (action.kind) {
    case RestoreAction::Kind::Set:
        return "remet       " + Printable(action.line);
    case RestoreAction::Kind::Delete:
        return "supprime    " + Printable(action.line);
    case RestoreAction::Kind::RemoveKeyIfEmpty:
        return "clé absente avant, supprimée si elle est vide : " + Printable(action.line);
    }
    return {};
}

int Apply(const RestorePlan &plan, bool dryRun, Console &console, Elevation &elevation) {
    Win32Registry registry;
    // Places, not lines: a missing key's value and the key itself are one place.
    std::vector<std::string_view> done;
    for (const RestoreAction &action : plan.actions) {
        console.Err(ActionText(action) + "\n");
        if (dryRun) continue;
        const RegistryError error = ApplyRestoreAction(action, registry);
        if (error != kRegistryOk) {
            console.Err("Cet emplacement n'a pas pu être remis : " + action.path + "\nWindows indique : " +
                        SystemTextOf(error) + "\n" + std::to_string(done.size()) +
                        " emplacement(s) remis avant lui restent écrits.\n");
            if (error == kRegistryAccessDenied && !elevation.ReadRights().AlreadyAdministrator())
                console.Err("Il faut les droits d'administrateur : lancez la commande depuis une invite exécutée en "
                            "tant qu'administrateur.\n");
            if (!done.empty()) Win32ShellNotifier().AssociationsChanged();
            return ToInt(error == kRegistryAccessDenied ? ExitCode::AccessDenied : ExitCode::Failed);
        }
        if (action.kind != RestoreAction::Kind::RemoveKeyIfEmpty && std::ranges::find(done, action.path) == done.end())
            done.push_back(action.path);
    }
    if (dryRun) {
        console.Err("(--dry-run : rien n'a été écrit)\n");
        return ToInt(ExitCode::Ok);
    }
    if (!done.empty()) Win32ShellNotifier().AssociationsChanged();
    console.Err(std::to_string(done.size()) + " emplacement(s) remis.\n");
    return ToInt(ExitCode::Ok);
}

} // namespace

int RunRestore(const Arguments &arguments, Console &console, const VerbContext &context) {
    const MachineGuard &guard = context.guard;
    const Scope scope = arguments.user ? Scope::CurrentUser : Scope::Machine;
    std::string bytes, name = arguments.viewer, why;
    if (name.empty()) {
        FileBackupStore store(scope);
        name = store.Location();
        if (!store.ReadTrusted(bytes, why)) return Refused(name, why, console);
    } else if (const std::optional<int> refused = ReadNamedFile(name, bytes, console)) {
        return *refused;
    }
    const RestorePlan plan = ReadBackup(bytes, scope);
    if (!plan.Accepted()) {
        if (plan.refusedLine == 0) return Refused(name, plan.refusedReason, console);
        return Refused(name, "ligne " + std::to_string(plan.refusedLine) + ", " + plan.refusedReason, console);
    }
    for (const std::string &skipped : plan.skipped)
        console.Err("Ignorée (sauvegarde de la version 2.0.0 : HKEY_CLASSES_ROOT y montrait la vue fusionnée, peut-être "
                    "vos propres valeurs par utilisateur) : " + Printable(skipped) + "\n");
    if (scope == Scope::CurrentUser || arguments.dryRun) return Apply(plan, arguments.dryRun, console, guard.elevation);
    // The machine's places are written under the same lock as a switch, so the two never interleave.
    const LockHold hold(guard.lock, arguments.waitSeconds * 1000);
    if (const std::optional<int> refused = RefusedByLock(hold.Result(), arguments, console, guard.elevation))
        return *refused;
    return Apply(plan, false, console, guard.elevation);
}

} // namespace quelvo::cli
