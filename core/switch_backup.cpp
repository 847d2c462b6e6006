#include "switch_backup.h"

#include "backup.h"

namespace quelvo {
namespace {

bool Stop(SwitchOutcome &outcome, BackupResult result, RegistryError error) {
    outcome.backup = result;
    outcome.backupError = error;
    return false;
}

// Going on without a backup is remembered, with the date of that switch.
bool GoOnWithout(const SwitchServices &services, SwitchOutcome &outcome, RegistryError error) {
    outcome.backup = BackupResult::Skipped;
    outcome.backupError = error;
    const std::string_view record = services.scope == Scope::Machine ? kMachineNoBackupRecord : kUserNoBackupRecord;
    services.writer.WriteString(record, UtcStamp(services.now));
    return true;
}

} // namespace

bool KeepBackupFirst(std::string_view firstPath, const SwitchServices &services, SwitchOutcome &outcome) {
    BackupStore *store = services.scope == Scope::Machine ? &services.machineBackup : services.userBackup;
    if (const RegistryError refused = services.writer.ProbeWrite(firstPath);
        refused != kRegistryOk && refused != kRegistryNotSupported) {
        outcome.failedPath = std::string(firstPath);
        outcome.error = refused;
        return false;
    }
    if (!store) return true;
    const BackupCheck check = store->Check();
    outcome.movedAside = check.movedAside;
    if (check.state == BackupCheck::State::Kept) return true;
    if (check.state == BackupCheck::State::Failed)
        return services.withoutBackup ? GoOnWithout(services, outcome, check.error)
                                      : Stop(outcome, BackupResult::Failed, check.error);

    const Snapshot snapshot = TakeSnapshot(services.scope, services.reader);
    if (!snapshot.Complete()) {
        outcome.unreadablePath = snapshot.unreadablePath;
        return services.withoutBackup ? GoOnWithout(services, outcome, snapshot.error)
                                      : Stop(outcome, BackupResult::Unreadable, snapshot.error);
    }
    const std::string_view record = services.scope == Scope::Machine ? kMachineNoBackupRecord : kUserNoBackupRecord;
    outcome.beforeThisSwitch =
        !check.movedAside.empty() || services.reader.ReadValue(record).status == ReadStatus::Text;
    const RegistryError error = store->WriteNew(BackupFileBytes(
        snapshot, services.scope, outcome.beforeThisSwitch ? BackupKind::BeforeThisSwitch : BackupKind::BeforeQuelvo,
        UtcStamp(services.now)));
    if (error == kRegistryFileExists) return true; // another switch kept them a moment ago
    if (error == kRegistryOk) {
        outcome.backup = BackupResult::Written;
        return true;
    }
    return services.withoutBackup ? GoOnWithout(services, outcome, error) : Stop(outcome, BackupResult::Failed, error);
}

} // namespace quelvo
