#pragma once
// Whether a folder or file that Quelvo finds where it keeps a backup can be believed: judged from a plain description
// of its owner, its access entries and its attributes, so that the rules hold the same wherever it was read.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quelvo {

// The folder Quelvo makes under ProgramData, and each backup file in it: owner Administrators, an access list that
// inherits nothing (protected), SYSTEM and Administrators full control, Users read and list.
inline constexpr std::wstring_view kMachineFolderSddl = L"O:BAG:SYD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

inline constexpr std::string_view kSystemSid = "S-1-5-18";
inline constexpr std::string_view kAdministratorsSid = "S-1-5-32-544";
inline constexpr std::string_view kTrustedInstallerSid = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

struct AccessEntry {
    bool allows = true;        // false: a deny entry, which only takes rights away
    bool inheritOnly = false;  // applies to what is created inside, not to the object itself
    std::string sid;
    std::uint32_t mask = 0;
};

struct ObjectDescription {
    bool reparsePoint = false; // a link or junction: what it points to is not ours to judge
    bool readable = true;      // its security could be read
    std::string ownerSid;
    bool hasDacl = true;       // no DACL at all lets everyone do everything
    std::vector<AccessEntry> dacl;
};

// Content: a backup file whose content is not a Quelvo backup of the places Quelvo manages (judged by its reader).
enum class Distrust { None, ReparsePoint, Unreadable, Owner, OthersMayWrite, Content };

// account: besides SYSTEM, Administrators and TrustedInstaller, the one account whose own objects are believed
// (empty for none): see TrustedAccount.
Distrust JudgeObject(const ObjectDescription &object, std::string_view account);

// Whom JudgeObject believes besides the system's own accounts. A user's own backup: that user. The machine's:
// nobody, since an administrator's unelevated programs run as the same account and anything they made would pass;
// except on a file system that keeps no owner (every object reads as the account's own, whoever made it: Wine's),
// where the owner tells nothing and the account's own entries are all there is.
std::string_view TrustedAccount(bool machine, std::string_view account, bool ownersKept);

// French, for the report: why it was put aside (in messages.cpp, with the core's other texts).
std::string_view DistrustText(Distrust distrust);

// The rights that let someone change what the object holds or who may: write, append, delete, delete a child,
// change its access list or its owner (and the generic rights that include them).
inline constexpr std::uint32_t kChangingRights =
    0x2 | 0x4 | 0x40 | 0x10000 | 0x40000 | 0x80000 | 0x10000000 | 0x40000000;

} // namespace quelvo
