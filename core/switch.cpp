#include "switch.h"

#include "backup.h"
#include "class_key_copy.h"
#include "detection.h"

#include <algorithm>

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

// A refusal of the first write ends the switch as a refused write, with nothing kept or made. False when the switch
// must write nothing.
bool KeepBackupFirst(std::string_view firstPath, const SwitchServices &services, SwitchOutcome &outcome) {
    BackupStore *store = services.scope == Scope::Machine ? &services.machineBackup : services.userBackup;
    if (const RegistryError refused = services.writer.ProbeWrite(firstPath); refused != kRegistryOk) {
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
    const std::string bytes = BackupFileBytes(
        snapshot, services.scope, outcome.beforeThisSwitch ? BackupKind::BeforeThisSwitch : BackupKind::BeforeQuelvo,
        UtcStamp(services.now));
    // Kept only if restore will read it back.
    const RegistryError error =
        bytes.size() > kLargestBackupBytes ? kRegistryFileTooLarge : store->WriteNew(bytes);
    if (error == kRegistryFileExists) return true; // another switch kept them a moment ago
    if (error == kRegistryOk) {
        outcome.backup = BackupResult::Written;
        return true;
    }
    return services.withoutBackup ? GoOnWithout(services, outcome, error) : Stop(outcome, BackupResult::Failed, error);
}

// The machine's key goes into a per-user key just before the write that creates it.
bool CopyMachineKeyFirst(std::string_view path, std::vector<MachineKeyCopy> &copies, const SwitchServices &services,
                         SwitchOutcome &outcome) {
    const auto copy = std::ranges::find(copies, path, &MachineKeyCopy::place);
    if (copy == copies.end()) return true;
    const KeyCopyResult result = CopyMachineKey(*copy, services.reader, services.writer);
    copies.erase(copy);
    outcome.valuesCopied += result.valuesCopied;
    if (result.error == kRegistryOk) return true;
    outcome.failedPath = result.failedPath;
    outcome.error = result.error;
    return false;
}

} // namespace

SwitchOutcome SwitchViewer(const ViewerRecord &viewer, const SwitchServices &services, ViewerDisplay *display) {
    SwitchOutcome outcome;
    const std::vector<RegistryWrite> writes = SwitchWrites(viewer, services.scope);
    if (!KeepBackupFirst(writes.front().path, services, outcome)) return outcome;
    std::vector<MachineKeyCopy> copies;
    if (services.scope == Scope::CurrentUser) copies = PlanMachineKeyCopies(services.reader);
    const WriteRun run(services.writer); // the list writes nine of its places twice
    for (const RegistryWrite &write : writes) {
        if (!CopyMachineKeyFirst(write.path, copies, services, outcome)) break;
        if (RegistryError error = services.writer.WriteString(write.path, write.value); error != kRegistryOk) {
            outcome.failedPath = write.path;
            outcome.error = error;
            break;
        }
        ++outcome.writesDone;
    }
    if (outcome.writesDone + outcome.valuesCopied > 0) {
        services.shell.AssociationsChanged();
        if (display)
            ShowDetectedViewer(services.reader, *display); // what the registry now says, a partial switch included
    }
    return outcome;
}

void ShowDetectedViewer(RegistryReader &registry, ViewerDisplay &display) {
    const ViewerRecord *found = DetectCurrentViewer(registry);
    display.SetStatusText(found ? found->displayName : std::string_view());
    for (const ViewerRecord &viewer : Viewers())
        display.SetViewerChecked(viewer, &viewer == found);
}

} // namespace quelvo
