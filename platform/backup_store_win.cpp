#include "backup_store_win.h"

#include "core/backup.h"
#include "core/file_trust.h"
#include "core/restore.h"
#include "file_security_win.h"
#include "module_export_win.h"
#include "text_win.h"
#include "unique_handle_win.h"

#include <windows.h>
#include <ntsecapi.h>

#include <algorithm>
#include <iterator>


namespace quelvo {
namespace {

constexpr wchar_t kFileName[] = L"associations-before-quelvo.reg";

const GUID kProgramData = {0x62AB5D82, 0xFDC1, 0x4DC3, {0xA9, 0xDD, 0x07, 0x0D, 0x1D, 0x49, 0x5D, 0x97}};
const GUID kLocalAppData = {0xF1B32785, 0x6FBA, 0x4FCF, {0x9D, 0x55, 0x7B, 0x8E, 0x7F, 0x15, 0x70, 0x91}};

std::wstring FolderSddl(Scope scope) {
    return scope == Scope::Machine ? std::wstring(kMachineFolderSddl) : UserFolderSddl(CurrentAccountSid());
}

// Opened to be looked at, never followed if it is a link.
UniqueKernelHandle OpenToJudge(const std::wstring &path, DWORD access) {
    HANDLE handle = CreateFileW(path.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES | access,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    return UniqueKernelHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// Why the folder or file at path is not to be believed; None when it is.
Distrust Judge(const std::wstring &path, bool folder, Scope scope) {
    UniqueKernelHandle handle = OpenToJudge(path, folder ? 0 : GENERIC_READ);
    if (!handle) return Distrust::Unreadable;
    const ObjectDescription object = DescribeObject(handle.Get());
    const std::string account = CurrentAccountSid();
    const std::string_view trusted = TrustedAccount(scope == Scope::Machine, account, FileOwnersKept());
    if (const Distrust distrust = JudgeObject(object, trusted); distrust != Distrust::None) return distrust;
    BY_HANDLE_FILE_INFORMATION information = {};
    GetFileInformationByHandle(handle.Get(), &information);
    if (((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) != folder) return Distrust::Content;
    if (folder) return Distrust::None;
    std::string bytes;
    DWORD error = ERROR_SUCCESS;
    return ReadWholeFile(handle.Get(), bytes, error) && ReadBackup(bytes, scope).KeptByQuelvo() ? Distrust::None
                                                                                                : Distrust::Content;
}

// Digits by hand: the C library's wide formatting would add its whole printf to the program.
std::wstring Digits(unsigned value, int width) {
    std::wstring text(width, L'0');
    for (int at = width - 1; at >= 0; --at, value /= 10) text[at] = static_cast<wchar_t>(L'0' + value % 10);
    return text;
}

std::wstring Stamp() {
    SYSTEMTIME now = {};
    GetSystemTime(&now);
    return Digits(now.wYear, 4) + Digits(now.wMonth, 2) + Digits(now.wDay, 2) + L"-" + Digits(now.wHour, 2) +
           Digits(now.wMinute, 2) + Digits(now.wSecond, 2);
}

// Renamed, not read or deleted: what it is stays for an administrator to look at. A link is renamed itself.
std::string MoveAside(const std::wstring &path, Distrust why, RegistryError &error) {
    const std::wstring base = path + L".non-fiable-" + Stamp();
    for (int attempt = 1; attempt <= 9; ++attempt) {
        const std::wstring aside = attempt == 1 ? base : base + L"-" + std::to_wstring(attempt);
        if (MoveFileExW(path.c_str(), aside.c_str(), 0)) {
            error = kRegistryOk;
            return Narrow(path) + " a été mis de côté sous le nom " + Narrow(aside) + " (non fiable : " +
                   std::string(DistrustText(why)) + ")";
        }
        error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) break;
    }
    return {};
}

DWORD WriteWhole(HANDLE file, std::string_view bytes) {
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) return GetLastError();
    if (written != bytes.size()) return ERROR_HANDLE_DISK_FULL;
    return FlushFileBuffers(file) ? ERROR_SUCCESS : GetLastError();
}

} // namespace

bool ReadWholeFile(HANDLE file, std::string &bytes, unsigned long &error) {
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file, &size)) return error = GetLastError(), false;
    if (static_cast<unsigned long long>(size.QuadPart) > kLargestBackupBytes)
        return error = ERROR_FILE_TOO_LARGE, false;
    // One byte more than it said it holds: a file that grew meanwhile is not read in part.
    bytes.assign(static_cast<std::size_t>(size.QuadPart) + 1, '\0');
    std::size_t total = 0;
    for (DWORD read = 0; total < bytes.size(); total += read) {
        const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - total, 1 << 24));
        if (!ReadFile(file, bytes.data() + total, asked, &read, nullptr)) return error = GetLastError(), false;
        if (read == 0) break;
    }
    if (total == bytes.size()) return error = ERROR_FILE_TOO_LARGE, false;
    bytes.resize(total);
    return true;
}

unsigned long WriteNewFile(const std::wstring &path, std::string_view bytes, SECURITY_ATTRIBUTES *security) {
    const HANDLE created = CreateFileW(path.c_str(), GENERIC_WRITE, 0, security, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (created == INVALID_HANDLE_VALUE) return GetLastError();
    UniqueKernelHandle file(created);
    const DWORD error = WriteWhole(file.Get(), bytes);
    file.Reset();
    if (error != ERROR_SUCCESS) DeleteFileW(path.c_str());
    return error;
}

std::wstring KnownFolder(Scope scope) {
    wchar_t system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    HMODULE shell = LoadLibraryW((std::wstring(system, length) + L"\\shell32.dll").c_str());
    const auto known = ModuleExport<HRESULT WINAPI(REFGUID, DWORD, HANDLE, PWSTR *)>(shell, "SHGetKnownFolderPath");
    PWSTR path = nullptr;
    if (!known || FAILED(known(scope == Scope::Machine ? kProgramData : kLocalAppData, 0, nullptr, &path)) || !path)
        return {};
    std::wstring folder = path;
    // The shell allocates the text with the COM allocator, which it has loaded.
    if (const auto free = ModuleExport<void WINAPI(void *)>(L"ole32.dll", "CoTaskMemFree")) free(path);
    return folder;
}

std::wstring RandomName(const wchar_t *prefix, const wchar_t *suffix) {
    unsigned char bits[16] = {};
    RtlGenRandom(bits, sizeof bits);
    std::wstring name = prefix;
    for (unsigned char bit : bits) {
        name += L"0123456789abcdef"[bit >> 4];
        name += L"0123456789abcdef"[bit & 15];
    }
    return name + suffix;
}

bool FileIdentity::operator==(const FileIdentity &other) const {
    if (wide && other.wide) return volume == other.volume && std::equal(std::begin(id), std::end(id), other.id);
    return shortVolume == other.shortVolume && index == other.index;
}

bool IdentityOf(const std::wstring &path, FileIdentity &identity) {
    HANDLE handle = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    UniqueKernelHandle file(handle);
    BY_HANDLE_FILE_INFORMATION information = {};
    if (!GetFileInformationByHandle(file.Get(), &information)) return false;
    identity = {};
    identity.shortVolume = information.dwVolumeSerialNumber;
    identity.index = (static_cast<unsigned long long>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
    // Windows 8 and later, on the file systems that keep one; Windows 7 and others fail the call.
    FILE_ID_INFO wide = {};
    if (GetFileInformationByHandleEx(file.Get(), FileIdInfo, &wide, sizeof wide)) {
        identity.wide = true;
        identity.volume = wide.VolumeSerialNumber;
        std::copy(std::begin(wide.FileId.Identifier), std::end(wide.FileId.Identifier), identity.id);
    }
    return true;
}

namespace {

unsigned long long Join(DWORD high, DWORD low) {
    return (static_cast<unsigned long long>(high) << 32) | low;
}

// Read by name, without opening the file: the cheapest look a click can take.
std::optional<FileVersion> VersionOf(const std::wstring &path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return FileVersion{data.dwFileAttributes, Join(data.nFileSizeHigh, data.nFileSizeLow),
                       Join(data.ftCreationTime.dwHighDateTime, data.ftCreationTime.dwLowDateTime),
                       Join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)};
}

} // namespace

std::wstring FileBackupStore::Folder() {
    if (base_.empty()) base_ = KnownFolder(scope_);
    return base_.empty() ? std::wstring() : base_ + L"\\Quelvo";
}

std::wstring FileBackupStore::Path() {
    const std::wstring folder = Folder();
    return folder.empty() ? folder : folder + L"\\" + kFileName;
}

std::string FileBackupStore::Location() {
    return Narrow(Path());
}

BackupCheck FileBackupStore::Check() {
    const std::wstring folder = Folder();
    if (folder.empty()) return {BackupCheck::State::Failed, {}, ERROR_PATH_NOT_FOUND};
    // Taken before the judgement: a file changed during it is another version, judged again next time.
    const std::optional<FileVersion> version = VersionOf(Path());
    if (version && version == trusted_) return {BackupCheck::State::Kept, {}, kRegistryOk};
    trusted_.reset();
    BackupCheck check;
    for (const auto &[path, isFolder] : {std::pair(folder, true), std::pair(Path(), false)}) {
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return check;
            return {BackupCheck::State::Failed, {}, error};
        }
        const Distrust distrust = Judge(path, isFolder, scope_);
        if (distrust == Distrust::None) continue;
        RegistryError error = kRegistryOk;
        check.movedAside = MoveAside(path, distrust, error);
        if (error != kRegistryOk) return {BackupCheck::State::Failed, {}, error};
        return check; // a folder put aside takes its file with it
    }
    check.state = BackupCheck::State::Kept;
    trusted_ = version;
    return check;
}

bool FileBackupStore::ReadTrusted(std::string &bytes, std::string &why) {
    const std::wstring folder = Folder();
    for (const auto &[path, isFolder] : {std::pair(folder, true), std::pair(Path(), false)}) {
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            why = "il n'existe pas";
            return false;
        }
        if (const Distrust distrust = Judge(path, isFolder, scope_); distrust != Distrust::None) {
            why = Narrow(path) + " n'est pas fiable : " + std::string(DistrustText(distrust));
            return false;
        }
    }
    UniqueKernelHandle file = OpenToJudge(Path(), GENERIC_READ);
    DWORD error = ERROR_SUCCESS;
    if (!file || !ReadWholeFile(file.Get(), bytes, error)) return why = "il n'a pas pu être lu en entier", false;
    return true;
}

RegistryError FileBackupStore::WriteNew(std::string_view bytes) {
    const std::wstring folder = Folder();
    if (folder.empty()) return ERROR_PATH_NOT_FOUND;
    const UniqueDescriptor descriptor = DescriptorFromSddl(FolderSddl(scope_));
    SECURITY_ATTRIBUTES security = {sizeof security, descriptor.get(), FALSE};
    if (!CreateDirectoryW(folder.c_str(), &security) && GetLastError() != ERROR_ALREADY_EXISTS) return GetLastError();
    // Made by someone else a moment ago: believed only if it passes the same rules.
    if (Judge(folder, true, scope_) != Distrust::None) return ERROR_ACCESS_DENIED;

    std::wstring partial;
    DWORD error = ERROR_ALREADY_EXISTS;
    for (int attempt = 0; attempt < 4 && (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS); ++attempt) {
        partial = folder + L"\\" + (temporaryName ? temporaryName() : RandomName(L"~quelvo-", L".tmp"));
        error = WriteNewFile(partial, bytes, &security);
    }
    if (error == ERROR_FILE_EXISTS) error = ERROR_ALREADY_EXISTS;
    if (error != ERROR_SUCCESS) return error; // not kRegistryFileExists: no backup was kept
    // Without MOVEFILE_REPLACE_EXISTING the move fails if anything appeared at the name meanwhile: it stays.
    if (!MoveFileExW(partial.c_str(), Path().c_str(), MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        DeleteFileW(partial.c_str());
    }
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? kRegistryFileExists : error;
}

} // namespace quelvo
