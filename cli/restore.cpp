// quelvo-cli restore: a backup put back through the registry layer, and only the places Quelvo manages.
#include "commands.h"

#include "core/exit_codes.h"
#include "core/restore.h"
#include "platform/backup_store_win.h"
#include "platform/registry_win.h"
#include "platform/shell_notifier_win.h"
#include "platform/switch_lock_win.h"
#include "platform/text_win.h"
#include "platform/unique_handle_win.h"

#include <cstdio>

namespace quelvo::cli {
namespace {

constexpr DWORD kLargestFile = 1 << 20;

// A line of a file someone else may have written: control characters shown as \xNN, so none steers the terminal.
std::string Printable(std::string_view text) {
    std::string shown;
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) {
            shown += c;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(c));
        shown += escaped;
    }
    return shown;
}

bool ReadNamedFile(const std::string &name, std::string &bytes, DWORD &error) {
    HANDLE opened = CreateFileW(Widen(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return error = GetLastError(), false;
    UniqueKernelHandle file(opened);
    bytes.assign(kLargestFile + 1, '\0');
    DWORD read = 0, total = 0;
    while (total < bytes.size() &&
           ReadFile(file.Get(), bytes.data() + total, static_cast<DWORD>(bytes.size() - total), &read, nullptr) &&
           read > 0)
        total += read;
    bytes.resize(total);
    return true;
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

int Refused(const std::string &name, const std::string &why, Console &console) {
    console.Err("La sauvegarde « " + name + " » est refusée, rien n'a été écrit : " + why + ".\n");
    return ToInt(ExitCode::FileRefused);
}

int Apply(const RestorePlan &plan, bool dryRun, Console &console) {
    Win32Registry registry;
    std::size_t done = 0;
    for (const RestoreAction &action : plan.actions) {
        console.Out(ActionText(action) + "\n");
        if (dryRun) continue;
        const RegistryError error = ApplyRestoreAction(action, registry);
        if (error != kRegistryOk) {
            console.Err("Cet emplacement n'a pas pu être remis : " + action.path + "\nWindows indique : " +
                        SystemTextOf(error) + "\n" + std::to_string(done) +
                        " valeur(s) remise(s) avant lui restent écrites.\n");
            if (done > 0) Win32ShellNotifier().AssociationsChanged();
            return ToInt(error == kRegistryAccessDenied ? ExitCode::AccessDenied : ExitCode::Failed);
        }
        ++done;
    }
    if (dryRun) {
        console.Out("(--dry-run : rien n'a été écrit)\n");
        return ToInt(ExitCode::Ok);
    }
    if (done > 0) Win32ShellNotifier().AssociationsChanged();
    console.Out(std::to_string(done) + " emplacement(s) remis.\n");
    return ToInt(ExitCode::Ok);
}

} // namespace

int RestoreBackup(const Arguments &arguments, Console &console) {
    const Scope scope = arguments.user ? Scope::CurrentUser : Scope::Machine;
    std::string bytes, name = arguments.viewer, why;
    if (name.empty()) {
        FileBackupStore store(scope);
        name = store.Location();
        if (!store.ReadTrusted(bytes, why)) return Refused(name, why, console);
    } else if (DWORD error = 0; !ReadNamedFile(name, bytes, error)) {
        console.Err("Le fichier « " + name + " » n'a pas pu être lu : " + SystemTextOf(error) + "\n");
        return ToInt(ExitCode::Failed);
    }
    const RestorePlan plan = ReadBackup(bytes, scope);
    if (!plan.Accepted()) {
        if (plan.refusedLine == 0) return Refused(name, plan.refusedReason, console);
        return Refused(name, "ligne " + std::to_string(plan.refusedLine) + ", " + plan.refusedReason, console);
    }
    for (const std::string &skipped : plan.skipped)
        console.Err("Ignorée (sauvegarde de la version 2.0.0 : HKEY_CLASSES_ROOT y montrait la vue fusionnée, peut-être "
                    "vos propres valeurs par utilisateur) : " + Printable(skipped) + "\n");
    if (scope == Scope::CurrentUser || arguments.dryRun) return Apply(plan, arguments.dryRun, console);
    // The machine's places are written under the same lock as a switch, so the two never interleave.
    Win32SwitchLock lock;
    const LockHold hold(lock, arguments.waitSeconds * 1000);
    if (const std::optional<int> refused = RefusedByLock(hold.Result(), arguments, console)) return *refused;
    return Apply(plan, false, console);
}

} // namespace quelvo::cli
