#include "file_security_win.h"

#include "text_win.h"
#include "unique_handle_win.h"

#include <aclapi.h>
#include <sddl.h>

#include <vector>

namespace quelvo {
namespace {

std::string SidText(PSID sid) {
    wchar_t *text = nullptr;
    if (!sid || !ConvertSidToStringSidW(sid, &text)) return {};
    std::string result = Narrow(text);
    LocalFree(text);
    return result;
}

std::vector<AccessEntry> EntriesOf(PACL dacl) {
    std::vector<AccessEntry> entries;
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        void *ace = nullptr;
        if (!GetAce(dacl, i, &ace)) continue;
        const auto *header = static_cast<const ACE_HEADER *>(ace);
        // Allow and deny entries share their layout; any other kind is counted as one that may grant anything.
        const auto *allowed = static_cast<const ACCESS_ALLOWED_ACE *>(ace);
        const bool allows = header->AceType != ACCESS_DENIED_ACE_TYPE;
        const bool known = header->AceType == ACCESS_ALLOWED_ACE_TYPE || header->AceType == ACCESS_DENIED_ACE_TYPE;
        entries.push_back({allows, (header->AceFlags & INHERIT_ONLY_ACE) != 0,
                           known ? SidText(const_cast<DWORD *>(&allowed->SidStart)) : std::string("?"),
                           known ? allowed->Mask : 0xFFFFFFFF});
    }
    return entries;
}

} // namespace

ObjectDescription DescribeDescriptor(PSECURITY_DESCRIPTOR descriptor) {
    ObjectDescription object;
    PSID owner = nullptr;
    BOOL defaulted = FALSE, present = FALSE;
    PACL dacl = nullptr;
    if (!descriptor || !GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) ||
        !GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted)) {
        object.readable = false;
        return object;
    }
    object.ownerSid = SidText(owner);
    object.hasDacl = present && dacl;
    object.dacl = EntriesOf(dacl);
    return object;
}

ObjectDescription DescribeObject(HANDLE handle) {
    ObjectDescription object;
    BY_HANDLE_FILE_INFORMATION information = {};
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!GetFileInformationByHandle(handle, &information) ||
        GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr,
                        nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        object.readable = false;
        return object;
    }
    object = DescribeDescriptor(descriptor);
    LocalFree(descriptor);
    object.reparsePoint = (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    return object;
}

std::string CurrentAccountSid() {
    UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return {};
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size)) return {};
    return SidText(reinterpret_cast<TOKEN_USER *>(buffer.data())->User.Sid);
}

namespace {

bool OwnersKeptOnce() {
    wchar_t temporary[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, temporary);
    if (length == 0 || length > MAX_PATH) return true;
    const UniqueDescriptor descriptor = DescriptorFromSddl(L"O:BAD:(A;;FA;;;BA)(A;;FA;;;SY)");
    SECURITY_ATTRIBUTES security = {sizeof security, descriptor.get(), FALSE};
    // Whatever is already at that name makes the creation fail, and the owners are then taken as real.
    const std::wstring probe =
        std::wstring(temporary, length) + L"quelvo-owner-" + std::to_wstring(GetCurrentProcessId());
    if (!descriptor || !CreateDirectoryW(probe.c_str(), &security)) return true;
    bool kept = true;
    if (HANDLE folder = CreateFileW(probe.c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                    nullptr);
        folder != INVALID_HANDLE_VALUE) {
        UniqueKernelHandle keep(folder);
        const ObjectDescription object = DescribeObject(folder);
        kept = !object.readable || object.ownerSid == kAdministratorsSid;
    }
    RemoveDirectoryW(probe.c_str());
    return kept;
}

} // namespace

bool FileOwnersKept() {
    static const bool kept = OwnersKeptOnce();
    return kept;
}

UniqueDescriptor DescriptorFromSddl(const std::wstring &sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return nullptr;
    return UniqueDescriptor(descriptor);
}

std::wstring UserFolderSddl(const std::string &userSid) {
    const std::wstring user = Widen(userSid);
    return L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + user + L")";
}

} // namespace quelvo
