#pragma once
// What the trust rules look at, read from Windows: owner, access entries and attributes of an open file or folder,
// the account making this switch, and descriptors made from their text form.

#include "core/file_trust.h"

#include <windows.h>

#include <memory>
#include <string>

namespace quelvo {

// An open handle (opened with FILE_FLAG_OPEN_REPARSE_POINT, so a link is seen and not followed).
ObjectDescription DescribeObject(HANDLE handle);
ObjectDescription DescribeDescriptor(PSECURITY_DESCRIPTOR descriptor);
// The SID of this process's user, as text; empty if it cannot be read.
std::string CurrentAccountSid();
// Whether the file system keeps the owner that a new object is given: a folder made in the temporary folder with
// owner Administrators reads back so. True also where that owner may not be given (a process without the rights),
// since the owners read are then real. Asked once a process.
bool FileOwnersKept();

struct LocalFreeDeleter {
    void operator()(void *memory) const { LocalFree(memory); }
};
using UniqueDescriptor = std::unique_ptr<void, LocalFreeDeleter>;
UniqueDescriptor DescriptorFromSddl(const std::wstring &sddl); // null if the text is not a descriptor

// A user's own folder: SYSTEM, Administrators and the user, nobody else; owner the user.
std::wstring UserFolderSddl(const std::string &userSid);

} // namespace quelvo
