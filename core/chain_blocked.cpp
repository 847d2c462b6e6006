// What keeps Internet Explorer's engine from loading a registered control.
#include "chain.h"
#include "chain_read.h"
#include "messages.h"

#include <array>
#include <optional>

namespace quelvo {
namespace {

constexpr std::string_view kMachine = "HKEY_LOCAL_MACHINE\\";
constexpr std::string_view kUser = "HKEY_CURRENT_USER\\";
constexpr std::uint32_t kKillBit = 0x400; // COMPAT_EVIL_DONT_LOAD
constexpr std::uint32_t kUrlPolicyDisallow = 3;

struct Zone {
    std::string_view number;
    std::string_view name;
};
constexpr std::array<Zone, 2> kZones = {{{"1", kLocalIntranetZone}, {"3", kInternetZone}}};

// The roots whose policies count, the machine's first: a service has no user's to read.
std::vector<std::string_view> PolicyRoots(const ChainInputs &in) {
    if (in.account == Account::User) return {kMachine, kUser};
    return {kMachine};
}

// "How to stop an ActiveX control from running in Internet Explorer": the kill bit, 0x400 of the control's
// Compatibility Flags; a 32-bit Internet Explorer reads it in the 32-bit view, so both views count.
void CheckKillBit(std::string_view clsid, const ChainInputs &in, Link &link) {
    const std::string path = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX Compatibility\\" +
                             std::string(clsid) + "\\Compatibility Flags";
    for (View view : {View::Native, View::Bits32}) {
        const std::optional<std::uint32_t> flags = NumberOf(ReadNoted(link, in.registry, path, view));
        if (flags && (*flags & kKillBit) != 0) link.Break(KillBitCause(clsid, view == View::Bits32));
    }
}

// The Group Policy settings "Add-on List" (a value per class identifier: 0 denied, 1 allowed, 2 allowed and left
// to the user) and "Deny all add-ons unless specifically allowed in the Add-on List" (RestrictToList); a user's
// own "Désactiver" in "Gérer les modules complémentaires" (Ext\Settings\{CLSID}, Flags 1) unless the list decides.
void CheckAddOn(std::string_view clsid, const ChainInputs &in, Link &link) {
    const std::string id(clsid);
    std::optional<std::uint32_t> listed, onlyListed;
    for (std::string_view root : PolicyRoots(in)) {
        const std::string ext = std::string(root) + "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\Ext\\";
        if (!listed) listed = NumberOf(ReadNoted(link, in.registry, ext + "CLSID\\" + id));
        if (!onlyListed) onlyListed = NumberOf(ReadNoted(link, in.registry, ext + "RestrictToList"));
    }
    if (listed == 0u)
        link.Break(AddOnDeniedCause(id));
    else if (onlyListed == 1u && listed != 1u && listed != 2u)
        link.Break(AddOnNotListedCause(id));
    if (in.account != Account::User || listed == 1u) return;
    const std::string flags =
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Settings\\" + id + "\\Flags";
    if (NumberOf(ReadNoted(link, in.registry, flags)) == 1u) link.Break(AddOnDisabledCause(id));
}

// URL action 1200 "Run ActiveX controls and plug-ins" per zone ("URL Security Zones", "URL Action Flags"): the
// policies first (the machine's, then the user's), then the user's own setting, then the machine's.
void CheckZone(const Zone &zone, const ChainInputs &in, Link &link) {
    const std::string below =
        "Windows\\CurrentVersion\\Internet Settings\\Zones\\" + std::string(zone.number) + "\\1200";
    std::vector<std::string> places;
    for (std::string_view root : PolicyRoots(in))
        places.push_back(std::string(root) + "SOFTWARE\\Policies\\Microsoft\\" + below);
    if (in.account == Account::User) places.push_back(std::string(kUser) + "Software\\Microsoft\\" + below);
    places.push_back(std::string(kMachine) + "SOFTWARE\\Microsoft\\" + below);
    for (const std::string &place : places) {
        const std::optional<std::uint32_t> policy = NumberOf(ReadNoted(link, in.registry, place));
        if (!policy) continue;
        if (*policy == kUrlPolicyDisallow) link.Break(ZoneDisallowsCause(zone.name));
        return;
    }
}

// "Turn on 64-bit tab processes when running in Enhanced Protected Mode on 64-bit versions of Windows": a 64-bit
// tab cannot load a 32-bit control.
void Check64BitTabs(const ChainInputs &in, Link &link) {
    for (std::string_view root : PolicyRoots(in)) {
        const std::string path = std::string(root) + "SOFTWARE\\Policies\\Microsoft\\Internet Explorer\\Main\\"
                                                     "Isolation64Bit";
        const std::optional<std::uint32_t> on = NumberOf(ReadNoted(link, in.registry, path));
        if (!on) continue;
        if (*on == 1) link.Break(Tabs64BitCause());
        return;
    }
}

} // namespace

Link BlockedLink(const ChainInputs &in) {
    Link link{LinkId::Blocked};
    std::vector<std::string_view> classes{in.viewer.vrmlClsid};
    if (in.viewer.x3dClsid != in.viewer.vrmlClsid) classes.push_back(in.viewer.x3dClsid);
    for (std::string_view clsid : classes) {
        CheckKillBit(clsid, in, link);
        CheckAddOn(clsid, in, link);
    }
    for (const Zone &zone : kZones)
        CheckZone(zone, in, link);
    Check64BitTabs(in, link);
    return link;
}

} // namespace quelvo
