#pragma once
// The 29 writes of one viewer straight through the registry API: what any program that switches viewers must do.

#include "core/association.h"
#include "core/registry_path.h"
#include "platform/registry_win.h"
#include "platform/text_win.h"

#include <windows.h>

#include <vector>

namespace quelvo::bench {

inline void WriteDirectly(const std::vector<RegistryWrite> &writes) {
    for (const RegistryWrite &write : writes) {
        const RegistryPath path = *ParseRegistryPath(write.path);
        HKEY key = nullptr;
        RegCreateKeyExW(RootKey(path.root), Widen(path.key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr);
        const std::wstring value = Widen(write.value);
        RegSetValueExW(key, Widen(path.valueName).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
}

} // namespace quelvo::bench
