// quelvo-cli restore: a backup put back through the registry layer, and only the places Quelvo manages.
#include "commands.h"
#include "messages.h"

#include "core/exit_codes.h"
#include "core/restore.h"
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

int Refused(const std::string &name, const std::string &why, Console &console) {
    console.Err(BackupRefusedText(name, why));
    return ToInt(ExitCode::FileRefused);
}

// The whole file, or the exit code once said why not: never a part of it, which could end inside a value.
std::optional<int> ReadNamedFile(const std::string &name, std::string &bytes, Console &console) {
    HANDLE opened = CreateFileW(Widen(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        console.Err(FileNotOpenedText(name, SystemTextOf(GetLastError())));
        return ToInt(ExitCode::Failed);
    }
    UniqueKernelHandle file(opened);
    if (DWORD error = 0; !ReadWholeFile(file.Get(), bytes, error))
        return Refused(name, NotReadWholeReason(SystemTextOf(error)), console);
    return std::nullopt;
}

int Apply(const RestorePlan &plan, bool dryRun, Console &console, Elevation &elevation) {
    Win32Registry registry;
    // Places, not lines: a missing key's value and the key itself are one place.
    std::vector<std::string_view> done;
    for (const RestoreAction &action : plan.actions) {
        console.Err(RestoreActionText(action));
        if (dryRun) continue;
        const RegistryError error = ApplyRestoreAction(action, registry);
        if (error != kRegistryOk) {
            console.Err(PlaceNotRestoredText(action.path, WindowsSays(error), done.size()));
            if (error == kRegistryAccessDenied && !elevation.ReadRights().AlreadyAdministrator())
                console.Err(RestoreNeedsAdministratorText());
            if (!done.empty()) Win32ShellNotifier().AssociationsChanged();
            return ToInt(error == kRegistryAccessDenied ? ExitCode::AccessDenied : ExitCode::Failed);
        }
        if (action.kind != RestoreAction::Kind::RemoveKeyIfEmpty && std::ranges::find(done, action.path) == done.end())
            done.push_back(action.path);
    }
    if (dryRun) {
        console.Err(NothingWrittenDryRunText());
        return ToInt(ExitCode::Ok);
    }
    if (!done.empty()) Win32ShellNotifier().AssociationsChanged();
    console.Err(PlacesRestoredText(done.size()));
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
        return Refused(name, RefusedLineReason(plan.refusedLine, plan.refusedReason), console);
    }
    for (const std::string &skipped : plan.skipped)
        console.Err(SkippedOldPlaceText(skipped));
    if (scope == Scope::CurrentUser || arguments.dryRun) return Apply(plan, arguments.dryRun, console, guard.elevation);
    // The machine's places are written under the same lock as a switch, so the two never interleave.
    const LockHold hold(guard.lock, arguments.waitSeconds * 1000);
    if (const std::optional<int> refused = RefusedByLock(hold.Result(), arguments, console, guard.elevation))
        return *refused;
    return Apply(plan, false, console, guard.elevation);
}

} // namespace quelvo::cli
