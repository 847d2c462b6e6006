#include "backup_store_win.h"

#include "unique_handle_win.h"

#include <windows.h>

namespace quelvo {
namespace {

std::wstring FolderOf(const std::wstring &path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

RegistryError WriteWhole(const std::wstring &path, std::string_view bytes) {
    HANDLE opened = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return GetLastError();
    UniqueKernelHandle file(opened);
    DWORD written = 0;
    if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) return GetLastError();
    if (!FlushFileBuffers(file.Get())) return GetLastError();
    return written == bytes.size() ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

} // namespace

bool FileBackupStore::Exists() {
    return !path_.empty() && GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES;
}

RegistryError FileBackupStore::WriteNew(std::string_view bytes) {
    if (path_.empty()) return ERROR_ENVVAR_NOT_FOUND;
    if (!CreateDirectoryW(FolderOf(path_).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return GetLastError();
    const std::wstring partial = path_ + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    RegistryError error = WriteWhole(partial, bytes);
    // Without MOVEFILE_REPLACE_EXISTING the move fails if a backup appeared meanwhile: the first one stays.
    if (error == ERROR_SUCCESS && !MoveFileExW(partial.c_str(), path_.c_str(), MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error != ERROR_SUCCESS) DeleteFileW(partial.c_str());
    return error == ERROR_ALREADY_EXISTS ? kRegistryFileExists : error;
}

std::wstring MachineBackupPath() {
    wchar_t folder[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"ProgramData", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::wstring(folder, length) + L"\\Quelvo\\associations-before-quelvo.reg";
}

} // namespace quelvo
