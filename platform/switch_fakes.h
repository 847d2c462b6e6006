#pragma once
// In-memory stand-ins for the backup file and the shell, recording what the switch asked of them.

#include "backup_store.h"
#include "shell_notifier.h"

#include <optional>
#include <string>

namespace quelvo {

class FakeBackupStore : public BackupStore {
public:
    bool Exists() override { return stored.has_value(); }
    RegistryError WriteNew(std::string_view bytes) override {
        if (refuseWith != kRegistryOk) return refuseWith;
        if (stored) return kRegistryFileExists;
        stored = std::string(bytes);
        return kRegistryOk;
    }
    std::optional<std::string> stored;
    RegistryError refuseWith = kRegistryOk;
};

class RecordingNotifier : public ShellNotifier {
public:
    void AssociationsChanged() override { ++calls; }
    int calls = 0;
};

} // namespace quelvo
