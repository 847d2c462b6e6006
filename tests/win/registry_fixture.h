#pragma once
// Helpers for tests that use the real registry of the test Wine prefix.

#include "core/viewer_catalogue.h"

#include <windows.h>
#include <sddl.h>

#include <string>
#include <vector>

namespace quelvo::test {

inline void DeleteTree(HKEY root, const std::wstring &key) {
    RegDeleteTreeW(root, key.c_str());
}

// Stores raw data of any type, as another program might have left it.
inline void SetRawValue(HKEY root, const std::wstring &key, const std::wstring &name, DWORD type, const void *data,
                        DWORD bytes) {
    HKEY handle = nullptr;
    RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr);
    RegSetValueExW(handle, name.c_str(), 0, type, static_cast<const BYTE *>(data), bytes);
    RegCloseKey(handle);
}

inline void SetStringValue(HKEY root, const std::wstring &key, const std::wstring &name, const std::wstring &text,
                           DWORD type = REG_SZ) {
    SetRawValue(root, key, name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// As an installer of a 32-bit program writes: through the 32-bit view (under HKEY_LOCAL_MACHINE).
inline void SetValue32(const std::wstring &key, const std::wstring &name, DWORD type, const void *data, DWORD bytes) {
    HKEY handle = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &handle,
                    nullptr);
    RegSetValueExW(handle, name.c_str(), 0, type, static_cast<const BYTE *>(data), bytes);
    RegCloseKey(handle);
}

inline void DeleteTree32(const std::wstring &parent, const std::wstring &key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, parent.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &handle) != 0) return;
    RegDeleteTreeW(handle, key.c_str());
    RegCloseKey(handle);
}

// Every viewer's control registered in the 32-bit view, naming a file that exists, for one scope: the window then
// finds nothing that keeps a viewer from showing pictures, and says nothing of it after a click.
struct PlantedControls {
    static std::wstring File() {
        wchar_t folder[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, folder);
        return std::wstring(folder) + L"quelvo-planted-control.ocx";
    }
    PlantedControls() {
        const std::wstring file = File();
        CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        for (const ViewerRecord &viewer : Viewers())
            for (std::string_view clsid : {viewer.vrmlClsid, viewer.x3dClsid})
                SetValue32(L"SOFTWARE\\Classes\\CLSID\\" + std::wstring(clsid.begin(), clsid.end()) + L"\\InprocServer32",
                           L"", REG_SZ, file.c_str(), static_cast<DWORD>((file.size() + 1) * sizeof(wchar_t)));
    }
    ~PlantedControls() {
        for (const ViewerRecord &viewer : Viewers())
            for (std::string_view clsid : {viewer.vrmlClsid, viewer.x3dClsid})
                DeleteTree32(L"SOFTWARE\\Classes\\CLSID", std::wstring(clsid.begin(), clsid.end()));
        DeleteFileW(File().c_str());
    }
    PlantedControls(const PlantedControls &) = delete;
    PlantedControls &operator=(const PlantedControls &) = delete;
};

struct RawValue {
    LSTATUS status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    std::wstring Text() const {
        return std::wstring(reinterpret_cast<const wchar_t *>(data.data()), data.size() / sizeof(wchar_t));
    }
};

inline RawValue GetRawValue(HKEY root, const std::wstring &key, const std::wstring &name) {
    RawValue value;
    DWORD size = 0;
    value.status =
        RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &value.type, nullptr, &size);
    if (value.status != ERROR_SUCCESS) return value;
    value.data.resize(size);
    value.status =
        RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &value.type, value.data.data(), &size);
    value.data.resize(size);
    return value;
}

// A key whose security refuses setting values and creating subkeys, so that a write there fails for real.
inline bool SetKeySecurity(HKEY root, const std::wstring &key, const wchar_t *sddl) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, WRITE_DAC | READ_CONTROL, &handle) != ERROR_SUCCESS) return false;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    bool ok = ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr) &&
              RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    LocalFree(descriptor);
    RegCloseKey(handle);
    return ok;
}
inline constexpr const wchar_t *kDenyWrites = L"D:(D;;0x6;;;WD)(A;;KA;;;WD)";
inline constexpr const wchar_t *kDenyReads = L"D:(D;;0x1;;;WD)(A;;KA;;;WD)";
inline constexpr const wchar_t *kAllowAll = L"D:(A;;KA;;;WD)";

} // namespace quelvo::test
