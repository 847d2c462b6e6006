#pragma once
// In-memory stand-ins for the backup file and the shell, recording what the switch asked of them.

#include "core/backup_store.h"
#include "core/shell_notifier.h"

#include <optional>
#include <string>
#include <utility>

namespace quelvo {

class FakeBackupStore : public BackupStore {
public:
    BackupCheck Check() override {
        ++checks;
        if (checkFails != kRegistryOk) return {BackupCheck::State::Failed, {}, checkFails};
        return {stored ? BackupCheck::State::Kept : BackupCheck::State::None, std::exchange(movedAside, {})};
    }
    RegistryError WriteNew(std::string_view bytes) override {
        if (refuseWith != kRegistryOk) return refuseWith;
        if (stored) return kRegistryFileExists;
        stored = std::string(bytes);
        return kRegistryOk;
    }
    std::string Location() override { return "C:\\ProgramData\\Quelvo\\associations-before-quelvo.reg"; }
    std::optional<std::string> stored;
    RegistryError refuseWith = kRegistryOk;
    RegistryError checkFails = kRegistryOk;
    std::string movedAside; // what the next check reports as put aside
    int checks = 0;
};

class RecordingNotifier : public ShellNotifier {
public:
    void AssociationsChanged() override { ++calls; }
    int calls = 0;
};

} // namespace quelvo
