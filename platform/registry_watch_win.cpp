#include "registry_watch_win.h"

#include "core/registry_path.h"
#include "registry_win.h"
#include "text_win.h"

namespace quelvo {

bool RegistryWatch::Arm() {
    keys_.clear();
    event_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event_) return false;
    for (const std::string &path : paths_) {
        const std::optional<RegistryPath> parsed = ParseRegistryPath(path);
        if (!parsed) continue;
        const std::wstring key = Widen(parsed->key);
        Watch(RootKey(parsed->root), key.substr(0, key.rfind(L'\\')), REG_NOTIFY_CHANGE_NAME);
        Watch(RootKey(parsed->root), key, REG_NOTIFY_CHANGE_LAST_SET);
    }
    if (keys_.empty()) event_.Reset();
    return !keys_.empty();
}

// A key that does not exist now is watched through the key above it.
void RegistryWatch::Watch(HKEY root, const std::wstring &key, DWORD filter) {
    UniqueKey opened;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_NOTIFY, opened.Receive()) != ERROR_SUCCESS) return;
    if (RegNotifyChangeKeyValue(opened.Get(), FALSE, filter, event_.Get(), TRUE) != ERROR_SUCCESS) return;
    keys_.push_back(std::move(opened));
}

} // namespace quelvo
