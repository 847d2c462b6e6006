#pragma once
// The backup as a file: written complete under another name, then moved into place only if none is there.

#include "backup_store.h"

#include <string>

namespace quelvo {

class FileBackupStore : public BackupStore {
public:
    explicit FileBackupStore(std::wstring path) : path_(std::move(path)) {}
    bool Exists() override;
    RegistryError WriteNew(std::string_view bytes) override;
    const std::wstring &Path() const { return path_; }

private:
    std::wstring path_;
};

// %ProgramData%\Quelvo\associations-before-quelvo.reg; empty if the variable is not set.
std::wstring MachineBackupPath();

} // namespace quelvo
