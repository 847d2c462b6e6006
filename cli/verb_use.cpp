// use: the switch itself, with its backup, what a refused write leaves and what still hides it for the user.
#include "commands.h"
#include "messages.h"

#include "core/backup.h"
#include "core/in_place.h"
#include "core/switch.h"
#include "core/messages.h"
#include "platform/backup_store_win.h"
#include "platform/installation_probe_win.h"
#include "platform/registry_win.h"
#include "platform/shell_notifier_win.h"
#include "platform/system_text_win.h"
#include "platform/text_win.h"

namespace quelvo::cli {
namespace {

int PrintDryRun(const ViewerRecord &viewer, Scope scope, Console &console) {
    console.Out(DryRunText(viewer, SwitchWrites(viewer, scope)));
    return ToInt(ExitCode::Ok);
}

// The backup's place is looked up only to be named: a switch refused at its first write never loads shell32.
void ReportBackup(const SwitchOutcome &outcome, BackupStore &store, Scope scope, Console &console) {
    const std::string location = outcome.backup == BackupResult::Written ? store.Location() : std::string();
    if (const std::string text = BackupText(outcome, location, scope, SystemTextOf(outcome.backupError)); !text.empty())
        console.Err(text);
}

int ReportNoBackup(const ViewerRecord &viewer, const SwitchOutcome &outcome, BackupStore &store, Console &console) {
    console.Err(NoBackupText(viewer, outcome,
                             outcome.backup == BackupResult::Unreadable ? std::string() : store.Location(),
                             WindowsSays(outcome.backupError)));
    return ToInt(ExitCode::NoBackup);
}

int ReportFailure(const ViewerRecord &viewer, const SwitchOutcome &outcome, Console &console, Elevation &elevation) {
    const bool administrator = outcome.error == kRegistryAccessDenied && elevation.ReadRights().AlreadyAdministrator();
    console.Err(FailedSwitchText(viewer, outcome, Narrow(SystemText(outcome.error)), TextLayout::Lines) +
                RefusedWriteAdvice(outcome, administrator));
    return outcome.error == kRegistryAccessDenied ? ToInt(ExitCode::AccessDenied) : ToInt(ExitCode::Failed);
}

// What the person running the command gets instead of the values just written, said once after the writes.
void ReportHiding(const ViewerRecord &viewer, RegistryReader &registry, Account account, Console &console) {
    if (const std::string text = HidingAfterUseText(viewer, CheckHiding(registry, account)); !text.empty())
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
    console.Err(AlsoTheUsersText(viewer, outcome));
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
        console.Err(AlsoUserRefusedText());
        return ToInt(ExitCode::Usage);
    }
    if (arguments.dryRun) return PrintDryRun(*viewer, scope, console);
    if (Win32InstallationProbe probe; !ControlRegistered(*viewer, probe))
        console.Err(ControlNotRegisteredText(*viewer));
    Win32Registry registry;
    FileBackupStore machineBackup(Scope::Machine), userBackup(Scope::CurrentUser);
    Win32ShellNotifier shell;
    // Nothing to change: no write, no backup, no shell notice (and shell32 stays unloaded). The machine's places
    // are read under the lock, so that no other switch is halfway through them.
    const auto inPlace = [&] { return !arguments.rewrite && AllMatch(CompareWithEndState(*viewer, scope, registry)); };
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
        console.Err(AlreadyInPlaceText(*viewer, scope));
    } else {
        BackupStore &store = scope == Scope::Machine ? static_cast<BackupStore &>(machineBackup) : userBackup;
        ReportBackup(outcome, store, scope, console);
        if (outcome.StoppedForBackup()) return ReportNoBackup(*viewer, outcome, store, console);
        if (!outcome.Succeeded()) return ReportFailure(*viewer, outcome, console, guard.elevation);
        console.Err(NowTheViewerText(*viewer, scope, outcome));
    }
    if (scope == Scope::CurrentUser) return ToInt(ExitCode::Ok);
    const int userCode =
        arguments.alsoUser ? SwitchForTheUserToo(*viewer, registry, console, guard.elevation) : ToInt(ExitCode::Ok);
    ReportHiding(*viewer, registry, account, console);
    return userCode;
}

} // namespace quelvo::cli
