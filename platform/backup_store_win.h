#pragma once
// The backup as a file in a folder that only SYSTEM and Administrators may change (for a user's own backup: that
// user too): checked before it is believed, written complete under an unpredictable name, then moved into place
// only if none is there. Links are never followed.

#include "core/backup_store.h"
#include "core/association.h"

#include <functional>
#include <optional>
#include <string>

namespace quelvo {

// The identity of an existing file, so that two spellings of one file compare equal: the volume's serial number
// with the file's 128-bit identifier where the file system gives one (ReFS, a Dev Drive: their 64-bit index need not
// tell two files apart), else with the 64-bit index; false from IdentityOf if it cannot be opened.
struct FileIdentity {
    bool wide = false; // volume and id from FILE_ID_INFO
    unsigned long long volume = 0;
    unsigned char id[16] = {};
    unsigned long shortVolume = 0; // from BY_HANDLE_FILE_INFORMATION, always read
    unsigned long long index = 0;
    bool operator==(const FileIdentity &other) const;
};
bool IdentityOf(const std::wstring &path, FileIdentity &identity);

// One version of one file as its folder lists it: the file written since, or another put in its place, shows
// another size, time or attributes (a link among them).
struct FileVersion {
    unsigned long attributes = 0;
    unsigned long long size = 0, created = 0, lastWrite = 0;
    bool operator==(const FileVersion &) const = default;
};

class FileBackupStore : public BackupStore {
public:
    // base: the folder that holds "Quelvo"; empty to look up ProgramData (LocalAppData for a user) when needed.
    explicit FileBackupStore(Scope scope, std::wstring base = {}) : scope_(scope), base_(std::move(base)) {}
    BackupCheck Check() override;
    RegistryError WriteNew(std::string_view bytes) override;
    std::string Location() override;
    // Empty when the known folder cannot be found.
    std::wstring Path();
    // The backup's bytes, only if the folder and the file pass the trust rules (nothing is moved); else the reason.
    bool ReadTrusted(std::string &bytes, std::string &why);

    // The temporary file's name in the folder; random unless a test fixes it.
    std::function<std::wstring()> temporaryName;

private:
    std::wstring Folder();
    Scope scope_;
    std::wstring base_;
    // The backup as last judged trustworthy. Once judged, only administrators can change the folder and the file:
    // while the same version is there, the next switch need not read and judge it again (a few ms of a click).
    std::optional<FileVersion> trusted_;
};

// ProgramData for the machine, LocalAppData for a user, through the known-folder API (shell32 is loaded then, and
// only then); empty where it cannot be found.
std::wstring KnownFolder(Scope scope);

// A name no one can guess: 128 random bits.
std::wstring RandomName(const wchar_t *prefix, const wchar_t *suffix);

// All of an open file, no more than the largest backup (ERROR_FILE_TOO_LARGE); false with the system's code when it
// cannot be read whole.
bool ReadWholeFile(void *file, std::string &bytes, unsigned long &error);

// Creates path as a new file (never over an existing one, never through a link), writes all of bytes and flushes
// them to the disk; a file it created and could not fill is deleted. ERROR_SUCCESS or the system's code.
unsigned long WriteNewFile(const std::wstring &path, std::string_view bytes,
                           struct _SECURITY_ATTRIBUTES *security = nullptr);

} // namespace quelvo
