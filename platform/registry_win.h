#pragma once
// The registry through direct Win32 calls.

#include "core/registry.h"
#include "core/registry_path.h"
#include "unique_handle_win.h"

#include <windows.h>

#include <string>
#include <vector>

namespace quelvo {

HKEY RootKey(RegistryRoot root);

class Win32Registry : public RegistryWriter, public RegistryReader {
public:
    RegistryError WriteString(std::string_view path, std::string_view value) override;
    ReadResult ReadValue(std::string_view path) override;
    KeyResult KeyExists(std::string_view path) override;
    RegistryError ProbeWrite(std::string_view path) override;
    RegistryError WriteRaw(std::string_view path, std::uint32_t type, std::string_view data) override;
    RegistryError DeleteValue(std::string_view path) override;
    RegistryError DeleteKeyIfEmpty(std::string_view path) override;
    RawRead ReadRaw(std::string_view path) override;
    RegistryError CreateKeyOf(std::string_view path) override;
    KeyListing ListKey(std::string_view path) override;
    RawRead ReadRaw32(std::string_view path) override;
    KeyResult KeyExists32(std::string_view path) override;
    void BeginWriteRun() override;
    void EndWriteRun() override;

private:
    struct HeldKey {
        HKEY root;
        std::wstring name;
        UniqueKey key;
    };
    // A key for setting values: created if missing, or the one this run already holds.
    LSTATUS KeyForWrite(HKEY root, const std::wstring &name, HKEY &key);

    // view: 0 for this process's own (64-bit) view, or KEY_WOW64_32KEY.
    static KeyResult KeyIn(std::string_view path, REGSAM view);
    static RawRead RawIn(std::string_view path, REGSAM view);

    int runs_ = 0;
    std::vector<HeldKey> held_; // open while a run lasts
};

} // namespace quelvo
