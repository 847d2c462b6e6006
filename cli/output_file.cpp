// Files named with -o: never one that exists unless asked, never a backup Quelvo keeps, never half written.
#include "commands.h"
#include "messages.h"

#include "core/exit_codes.h"
#include "platform/backup_store_win.h"
#include "platform/text_win.h"

namespace quelvo::cli {
namespace {

// Compared by what the file is, not how it is spelt: another path, a short name or a hard link name the same file.
bool IsAKeptBackup(const std::wstring &target) {
    FileIdentity wanted;
    if (!IdentityOf(target, wanted)) return false;
    for (Scope scope : {Scope::Machine, Scope::CurrentUser}) {
        FileIdentity kept;
        if (IdentityOf(FileBackupStore(scope).Path(), kept) && kept == wanted) return true;
    }
    return false;
}

std::wstring FullPath(const std::wstring &path) {
    std::wstring full(MAX_PATH, L'\0');
    DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length);
        length = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    }
    full.resize(length);
    return full;
}

std::wstring FolderOf(const std::wstring &path) {
    const std::wstring full = FullPath(path);
    const std::size_t cut = full.find_last_of(L"\\/");
    return cut == std::wstring::npos ? L"." : full.substr(0, cut);
}

DWORD WriteBeside(const std::wstring &target, std::string_view bytes, bool replace) {
    const std::wstring partial = FolderOf(target) + L"\\" + RandomName(L"~quelvo-", L".tmp");
    if (const DWORD error = WriteNewFile(partial, bytes); error != ERROR_SUCCESS) return error;
    if (MoveFileExW(partial.c_str(), target.c_str(),
                    MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0)))
        return ERROR_SUCCESS;
    const DWORD error = GetLastError();
    DeleteFileW(partial.c_str());
    return error;
}

} // namespace

std::string FullPathOf(const std::string &path) {
    const std::wstring full = FullPath(Widen(path));
    return full.empty() ? path : Narrow(full);
}

int RefusedOutputFile(const std::string &path, bool force, Console &console) {
    const std::wstring target = Widen(path);
    if (GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) return ToInt(ExitCode::Ok);
    if (IsAKeptBackup(target)) {
        console.Err(KeptBackupNeverReplacedText(path));
        return ToInt(ExitCode::FileRefused);
    }
    if (!force) {
        console.Err(FileExistsText(path));
        return ToInt(ExitCode::FileRefused);
    }
    return ToInt(ExitCode::Ok);
}

int WriteOutputFile(const std::string &path, std::string_view bytes, bool force, Console &console) {
    if (const int refused = RefusedOutputFile(path, force, console); refused != 0) return refused;
    const std::wstring target = Widen(path);
    const bool exists = GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES;
    const DWORD error = WriteBeside(target, bytes, force);
    if (error == ERROR_SUCCESS) return ToInt(ExitCode::Ok);
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
        console.Err(FileAppearedText(path));
        return ToInt(ExitCode::FileRefused);
    }
    console.Err(FileNotWrittenText(path, SystemTextOf(error), exists));
    return ToInt(ExitCode::OutputFailed);
}

} // namespace quelvo::cli
