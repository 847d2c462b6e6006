// Whether some browser on this PC hosts the control: Internet Explorer 11 where it still opens (Microsoft's
// "Internet Explorer 11 desktop app retirement FAQ"), or Microsoft Edge in Internet Explorer mode, turned on and
// given this content by policy (the Microsoft Edge policy pages InternetExplorerIntegrationLevel,
// InternetExplorerIntegrationSiteList, InternetExplorerIntegrationReloadInIEModeAllowed,
// InternetExplorerIntegrationLocalFileAllowed and InternetExplorerIntegrationLocalFileExtensionAllowList).
#include "chain.h"
#include "chain_read.h"
#include "ie_mode.h"

#include <optional>

namespace quelvo {
namespace {

constexpr std::string_view kCurrentVersion = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\";
constexpr std::uint32_t kWindows11Build = 22000;
constexpr std::uint32_t kServer2025Build = 26100; // the first Server the FAQ could not have known of
constexpr std::size_t kMostListed = 100;

enum class Ie11 { Opens, Gone, Unknown };

struct Ie11Verdict {
    Ie11 state;
    std::string why;
};

std::string VersionText(const WindowsVersion &version) {
    return std::to_string(version.major) + "." + std::to_string(version.minor) + "." + std::to_string(version.build);
}

// Windows 7 and 8.1 keep Internet Explorer 11, Windows 11 has none; on Windows 10 a Microsoft Edge update turned it
// off on 14 February 2023, except on the LTSC editions and on Server, which the retirement does not reach.
Ie11Verdict Ie11State(const ChainInputs &in, Link &link) {
    const WindowsVersion version = in.system.Version();
    const std::string windows = "Windows " + VersionText(version);
    if (version.major < 10) return {Ie11::Opens, windows + " garde Internet Explorer 11."};
    const AnyValue type = ReadNoted(link, in.registry, std::string(kCurrentVersion) + "InstallationType");
    const AnyValue edition = ReadNoted(link, in.registry, std::string(kCurrentVersion) + "EditionID");
    if (type.kind == AnyValue::Kind::Text && type.text.find("Server") != std::string::npos)
        return version.build < kServer2025Build
                   ? Ie11Verdict{Ie11::Opens, windows + " (Server) garde Internet Explorer 11."}
                   : Ie11Verdict{Ie11::Unknown, windows + " (Server) : Microsoft ne dit pas qu'Internet Explorer 11 "
                                                          "s'y ouvre encore."};
    if (version.build >= kWindows11Build) return {Ie11::Gone, windows + " (Windows 11) n'a pas Internet Explorer 11."};
    if (edition.kind == AnyValue::Kind::Text && edition.text.find("EnterpriseS") != std::string::npos)
        return {Ie11::Opens, windows + " (LTSC) garde Internet Explorer 11."};
    return {Ie11::Unknown, windows + " : une mise à jour de Microsoft Edge y a désactivé Internet Explorer 11 le 14 "
                                     "février 2023 sur la plupart des versions de Windows 10 ; Quelvo ne peut pas "
                                     "dire s'il s'ouvre encore ici."};
}

// A policy's value: the machine's wins over the user's.
AnyValue Policy(const ChainInputs &in, std::string_view name, Link &link) {
    AnyValue value;
    for (std::string_view root : {"HKEY_LOCAL_MACHINE\\", "HKEY_CURRENT_USER\\"}) {
        if (root.starts_with("HKEY_CURRENT_USER") && in.account != Account::User) break;
        value = ReadNoted(link, in.registry, std::string(root) + std::string(kEdgePolicies) + "\\" + std::string(name));
        if (value.kind != AnyValue::Kind::Absent) return value;
    }
    return value;
}

// The allow list's values 1, 2, 3... of the first root that has one.
std::vector<std::string> AllowedExtensions(const ChainInputs &in, Link &link) {
    std::vector<std::string> allowed;
    for (std::string_view root : {"HKEY_LOCAL_MACHINE\\", "HKEY_CURRENT_USER\\"}) {
        if (root.starts_with("HKEY_CURRENT_USER") && in.account != Account::User) break;
        const std::string key = std::string(root) + std::string(kEdgePolicies) + "\\" + std::string(kIeModeExtensions);
        for (std::size_t n = 1; n <= kMostListed; ++n) {
            const AnyValue value = ReadAny(in.registry, key + "\\" + std::to_string(n));
            if (value.kind != AnyValue::Kind::Text) break;
            link.read.push_back({key + "\\" + std::to_string(n), Shown(value)});
            allowed.push_back(value.text.starts_with(".") ? value.text : "." + value.text);
        }
        if (!allowed.empty()) break;
    }
    return allowed;
}

// What Internet Explorer mode receives; empty when it receives this viewer's content, else what is missing.
std::string IeModeGap(const ChainInputs &in, Link &link) {
    if (NumberOf(Policy(in, kIeModeLevel, link)) != 1u)
        return "le mode Internet Explorer de Microsoft Edge n'est pas activé par stratégie "
               "(InternetExplorerIntegrationLevel = 1)";
    const AnyValue siteList = Policy(in, kIeModeSiteList, link);
    const bool sites = siteList.kind == AnyValue::Kind::Text && !siteList.text.empty();
    const bool reload = NumberOf(Policy(in, kIeModeReload, link)) == 1u;
    if (sites || reload) return {};
    if (NumberOf(Policy(in, kIeModeLocalFiles, link)) != 1u)
        return "le mode Internet Explorer est activé, mais ni liste de sites, ni rechargement en mode Internet "
               "Explorer, ni fichiers locaux ne lui sont permis";
    const std::vector<std::string> allowed = AllowedExtensions(in, link);
    std::string missing;
    for (std::string_view extension : IeModeExtensions(in.viewer)) {
        bool found = false;
        for (const std::string &entry : allowed)
            found = found || SameNoCase(entry, extension);
        if (!found) missing += (missing.empty() ? "" : ", ") + std::string(extension);
    }
    if (missing.empty()) return {};
    return "le mode Internet Explorer accepte les fichiers locaux, mais pas les extensions " + missing +
           " (InternetExplorerIntegrationLocalFileExtensionAllowList)";
}

} // namespace

Link BrowserLink(const ChainInputs &in) {
    Link link{LinkId::Browser};
    const Ie11Verdict ie11 = Ie11State(in, link);
    if (ie11.state == Ie11::Opens) return link;
    const std::string gap = IeModeGap(in, link);
    if (gap.empty()) return link;
    const std::string why = ie11.why + " Et " + gap + ".";
    const std::string todo = "Activez le mode Internet Explorer pour ce viewer : quelvo-cli export --ie-mode \"" +
                             std::string(in.viewer.displayName) +
                             "\" -o ie-mode.reg, puis reg import ie-mode.reg en administrateur (ou par stratégie de "
                             "groupe).";
    if (ie11.state == Ie11::Unknown || in.account != Account::User)
        link.Doubt(
            why + (in.account != Account::User ? " Les stratégies propres aux utilisateurs n'ont pas été lues." : ""),
            todo);
    else
        link.Break(why, todo);
    return link;
}

} // namespace quelvo
