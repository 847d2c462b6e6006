#include "file_trust.h"

#include <array>

namespace quelvo {
namespace {

bool Trusted(std::string_view sid, std::string_view account) {
    constexpr std::array<std::string_view, 3> kTrusted = {kSystemSid, kAdministratorsSid, kTrustedInstallerSid};
    for (std::string_view trusted : kTrusted)
        if (sid == trusted) return true;
    return !account.empty() && sid == account;
}

} // namespace

Distrust JudgeObject(const ObjectDescription &object, std::string_view account) {
    if (object.reparsePoint) return Distrust::ReparsePoint;
    if (!object.readable) return Distrust::Unreadable;
    if (!Trusted(object.ownerSid, account)) return Distrust::Owner;
    if (!object.hasDacl) return Distrust::OthersMayWrite;
    for (const AccessEntry &entry : object.dacl)
        if (entry.allows && !entry.inheritOnly && (entry.mask & kChangingRights) && !Trusted(entry.sid, account))
            return Distrust::OthersMayWrite;
    return Distrust::None;
}

std::string_view TrustedAccount(bool machine, std::string_view account, bool ownersKept) {
    return machine && ownersKept ? std::string_view() : account;
}

} // namespace quelvo
