#include "registry_win.h"

#include "core/registry_path.h"
#include "text_win.h"
#include "unique_handle_win.h"

#include <cstring>
#include <cwchar>
#include <algorithm>
#include <optional>
#include <vector>

namespace quelvo {
namespace {

// Reads the raw data of a value of any length; the size can change between the two calls, hence the loop.
LSTATUS QueryValue(HKEY key, const std::wstring &name, DWORD &type, std::vector<BYTE> &data) {
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        data.resize(size + sizeof(wchar_t));
        size = static_cast<DWORD>(data.size());
        status = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size);
        if (status == ERROR_SUCCESS) {
            data.resize(size);
            return status;
        }
        if (status != ERROR_MORE_DATA) break;
    }
    return status;
}

// Stored strings may lack their terminator or carry more than one; the text ends at the first NUL.
std::string TextOf(const std::vector<BYTE> &data) {
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    text.resize(std::wcslen(text.c_str()));
    return Narrow(text);
}

// Names of one kind (values or subkeys) by index; a name that grows between calls is asked for again.
template <typename Enumerate> LSTATUS EnumerateNames(Enumerate enumerate, std::vector<std::string> &names) {
    std::vector<wchar_t> name(256);
    for (DWORD index = 0;;) {
        DWORD length = static_cast<DWORD>(name.size());
        const LSTATUS status = enumerate(index, name.data(), &length);
        if (status == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
        if (status == ERROR_MORE_DATA && name.size() < 32768) {
            name.resize(name.size() * 2);
            continue;
        }
        if (status != ERROR_SUCCESS) return status;
        names.push_back(Narrow(std::wstring(name.data(), length)));
        ++index;
    }
}

} // namespace

HKEY RootKey(RegistryRoot root) {
    switch (root) {
    case RegistryRoot::LocalMachine:
        return HKEY_LOCAL_MACHINE;
    case RegistryRoot::ClassesRoot:
        return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser:
        return HKEY_CURRENT_USER;
    }
    return nullptr;
}

RegistryError Win32Registry::WriteString(std::string_view path, std::string_view value) {
    const std::wstring text = Widen(value);
    // REG_SZ's bytes, terminator included.
    return WriteRaw(path, REG_SZ,
                    {reinterpret_cast<const char *>(text.c_str()), (text.size() + 1) * sizeof(wchar_t)});
}

ReadResult Win32Registry::ReadValue(std::string_view path) {
    const std::optional<RegistryPath> parsed = ParseRegistryPath(path);
    if (!parsed) return {ReadStatus::Failed, {}, kRegistryBadPath};
    UniqueKey key;
    LSTATUS status =
        RegOpenKeyExW(RootKey(parsed->root), Widen(parsed->key).c_str(), 0, KEY_QUERY_VALUE, key.Receive());
    if (status != ERROR_SUCCESS) return {ReadStatus::Failed, {}, static_cast<RegistryError>(status)};
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    status = QueryValue(key.Get(), Widen(parsed->valueName), type, data);
    if (status != ERROR_SUCCESS) return {ReadStatus::Failed, {}, static_cast<RegistryError>(status)};
    if (type != REG_SZ && type != REG_EXPAND_SZ) return {ReadStatus::NotText, {}, kRegistryOk};
    return {ReadStatus::Text, TextOf(data), kRegistryOk};
}

KeyResult Win32Registry::KeyExists(std::string_view path) {
    return KeyIn(path, 0);
}

KeyResult Win32Registry::KeyExists32(std::string_view path) {
    return KeyIn(path, KEY_WOW64_32KEY);
}

KeyResult Win32Registry::KeyIn(std::string_view path, REGSAM view) {
    const std::optional<RegistryPath> parsed = ParseRegistryPath(path);
    if (!parsed) return {KeyState::Unknown, kRegistryBadPath};
    UniqueKey key;
    const LSTATUS status =
        RegOpenKeyExW(RootKey(parsed->root), Widen(parsed->key).c_str(), 0, KEY_QUERY_VALUE | view, key.Receive());
    if (status == ERROR_SUCCESS) return {KeyState::Present, kRegistryOk};
    if (status == ERROR_FILE_NOT_FOUND) return {KeyState::Absent, kRegistryFileNotFound};
    // Refused means found: the system checks a key's security only once it has found the key.
    if (status == ERROR_ACCESS_DENIED) return {KeyState::Present, kRegistryAccessDenied};
    return {KeyState::Unknown, static_cast<RegistryError>(status)};
}

RegistryError Win32Registry::ProbeWrite(std::string_view path) {
    const std::optional<RegistryPath> parsed = ParseRegistryPath(path);
    if (!parsed) return kRegistryBadPath;
    // A missing key is made by the write: then the right that counts is creating a subkey of the nearest parent.
    std::wstring key = Widen(parsed->key);
    REGSAM access = KEY_SET_VALUE;
    for (;;) {
        UniqueKey opened;
        const LSTATUS status = RegOpenKeyExW(RootKey(parsed->root), key.c_str(), 0, access, opened.Receive());
        if (status != ERROR_FILE_NOT_FOUND) return static_cast<RegistryError>(status);
        const std::size_t cut = key.find_last_of(L'\\');
        if (cut == std::wstring::npos) return kRegistryOk; // the root itself takes the new key
        key.resize(cut);
        access = KEY_CREATE_SUB_KEY;
    }
}

RegistryError Win32Registry::WriteRaw(std::string_view path, std::uint32_t type, std::string_view data) {
    const std::optional<RegistryPath> parsed = ParseRegistryPath(path);
    if (!parsed) return kRegistryBadPath;
    const HKEY root = RootKey(parsed->root);
    const std::wstring name = Widen(parsed->key), valueName = Widen(parsed->valueName);
    const auto set = [&](HKEY key) {
        return RegSetValueExW(key, valueName.c_str(), 0, type, reinterpret_cast<const BYTE *>(data.data()),
                              static_cast<DWORD>(data.size()));
    };
    HKEY key = nullptr;
    LSTATUS status = KeyForWrite(root, name, key);
    if (status == ERROR_SUCCESS) status = set(key);
    if (status == ERROR_KEY_DELETED && runs_ > 0) { // another program deleted a key the run holds: made again
        std::erase_if(held_, [&](const HeldKey &held) { return held.key.Get() == key; });
        status = KeyForWrite(root, name, key);
        if (status == ERROR_SUCCESS) status = set(key);
    }
    if (runs_ == 0 && key) RegCloseKey(key);
    return static_cast<RegistryError>(status);
}

LSTATUS Win32Registry::KeyForWrite(HKEY root, const std::wstring &name, HKEY &key) {
    const auto held = std::ranges::find_if(held_, [&](const HeldKey &candidate) {
        return candidate.root == root && CompareStringOrdinal(candidate.name.c_str(), -1, name.c_str(), -1, TRUE) ==
                                             CSTR_EQUAL;
    });
    if (held != held_.end()) {
        key = held->key.Get();
        return ERROR_SUCCESS;
    }
    key = nullptr;
    const LSTATUS status =
        RegCreateKeyExW(root, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) {
        key = nullptr;
        return status;
    }
    if (runs_ > 0) held_.push_back({root, name, UniqueKey(key)});
    return status;
}

void Win32Registry::BeginWriteRun() {
    ++runs_;
}

void Win32Registry::EndWriteRun() {
    if (runs_ > 0 && --runs_ == 0) held_.clear();
}

RegistryError Win32Registry::DeleteValue(std::string_view path) {
    const std::optional<RegistryPath> parsed = ParseRegistryPath(path);
    if (!parsed) return kRegistryBadPath;
    UniqueKey key;
    LSTATUS status =
        RegOpenKeyExW(RootKey(parsed->root), Widen(parsed->key).c_str(), 0, KEY_SET_VALUE, key.Receive());
    if (status == ERROR_SUCCESS) status = RegDeleteValueW(key.Get(), Widen(parsed->valueName).c_str());
    return status == ERROR_FILE_NOT_FOUND ? kRegistryOk : static_cast<RegistryError>(status);
}

RegistryError Win32Registry::DeleteKeyIfEmpty(std::string_view path) {
    const std::optional<RegistryPath> parsed = ParseRegistryPath(path);
    if (!parsed) return kRegistryBadPath;
    const std::wstring name = Widen(parsed->key);
    {
        UniqueKey key;
        LSTATUS status = RegOpenKeyExW(RootKey(parsed->root), name.c_str(), 0, KEY_QUERY_VALUE, key.Receive());
        if (status == ERROR_FILE_NOT_FOUND) return kRegistryOk;
        if (status != ERROR_SUCCESS) return static_cast<RegistryError>(status);
        DWORD subkeys = 0, values = 0;
        status = RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                  nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS) return static_cast<RegistryError>(status);
        if (subkeys != 0 || values != 0) return kRegistryOk; // something was put there since: it stays
    }
    const LSTATUS status = RegDeleteKeyW(RootKey(parsed->root), name.c_str());
    return status == ERROR_FILE_NOT_FOUND ? kRegistryOk : static_cast<RegistryError>(status);
}

RawRead Win32Registry::ReadRaw(std::string_view path) {
    return RawIn(path, 0);
}

RawRead Win32Registry::ReadRaw32(std::string_view path) {
    return RawIn(path, KEY_WOW64_32KEY);
}

RawRead Win32Registry::RawIn(std::string_view path, REGSAM view) {
    const std::optional<RegistryPath> parsed = ParseRegistryPath(path);
    if (!parsed) return RawFailure(kRegistryBadPath);
    UniqueKey key;
    LSTATUS status =
        RegOpenKeyExW(RootKey(parsed->root), Widen(parsed->key).c_str(), 0, KEY_QUERY_VALUE | view, key.Receive());
    if (status != ERROR_SUCCESS) return RawFailure(static_cast<RegistryError>(status));
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    status = QueryValue(key.Get(), Widen(parsed->valueName), type, data);
    if (status != ERROR_SUCCESS) return RawFailure(static_cast<RegistryError>(status), true);
    return {kRegistryOk, true, type, std::string(data.begin(), data.end())};
}

RegistryError Win32Registry::CreateKeyOf(std::string_view path) {
    const std::optional<RegistryPath> parsed = ParseRegistryPath(path);
    if (!parsed) return kRegistryBadPath;
    UniqueKey key;
    return static_cast<RegistryError>(RegCreateKeyExW(RootKey(parsed->root), Widen(parsed->key).c_str(), 0, nullptr,
                                                      REG_OPTION_NON_VOLATILE, KEY_QUERY_VALUE, nullptr, key.Receive(),
                                                      nullptr));
}

KeyListing Win32Registry::ListKey(std::string_view path) {
    const std::optional<RegistryPath> parsed = ParseRegistryPath(path);
    if (!parsed) return ListFailure(kRegistryBadPath);
    UniqueKey key;
    LSTATUS status = RegOpenKeyExW(RootKey(parsed->root), Widen(parsed->key).c_str(), 0,
                                   KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, key.Receive());
    KeyListing listing;
    if (status == ERROR_SUCCESS)
        status = EnumerateNames(
            [&](DWORD index, wchar_t *name, DWORD *length) {
                return RegEnumValueW(key.Get(), index, name, length, nullptr, nullptr, nullptr, nullptr);
            },
            listing.values);
    if (status == ERROR_SUCCESS)
        status = EnumerateNames(
            [&](DWORD index, wchar_t *name, DWORD *length) {
                return RegEnumKeyExW(key.Get(), index, name, length, nullptr, nullptr, nullptr, nullptr);
            },
            listing.subkeys);
    listing.error = static_cast<RegistryError>(status);
    return listing;
}

} // namespace quelvo
