// Whether some browser on this PC hosts the control: Internet Explorer 11 where it still opens (Microsoft's
// "Internet Explorer 11 desktop app retirement FAQ"), or Microsoft Edge in Internet Explorer mode, turned on and
// given this content by policy (the Microsoft Edge policy pages InternetExplorerIntegrationLevel,
// InternetExplorerIntegrationSiteList, InternetExplorerIntegrationReloadInIEModeAllowed,
// InternetExplorerIntegrationLocalFileAllowed and InternetExplorerIntegrationLocalFileExtensionAllowList).
#include "chain.h"
#include "chain_read.h"
#include "ie_mode.h"
#include "messages.h"

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
    if (version.major < 10) return {Ie11::Opens, Ie11Text(Ie11Case::Kept, windows)};
    const AnyValue type = ReadNoted(link, in.registry, std::string(kCurrentVersion) + "InstallationType");
    const AnyValue edition = ReadNoted(link, in.registry, std::string(kCurrentVersion) + "EditionID");
    if (type.kind == AnyValue::Kind::Text && type.text.find("Server") != std::string::npos)
        return version.build < kServer2025Build
                   ? Ie11Verdict{Ie11::Opens, Ie11Text(Ie11Case::KeptOnServer, windows)}
                   : Ie11Verdict{Ie11::Unknown, Ie11Text(Ie11Case::ServerUnknown, windows)};
    if (version.build >= kWindows11Build) return {Ie11::Gone, Ie11Text(Ie11Case::Windows11, windows)};
    if (edition.kind == AnyValue::Kind::Text && edition.text.find("EnterpriseS") != std::string::npos)
        return {Ie11::Opens, Ie11Text(Ie11Case::KeptOnLtsc, windows)};
    return {Ie11::Unknown, Ie11Text(Ie11Case::Windows10Unknown, windows)};
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
    if (NumberOf(Policy(in, kIeModeLevel, link)) != 1u) return IeModeOffText();
    const AnyValue siteList = Policy(in, kIeModeSiteList, link);
    const bool sites = siteList.kind == AnyValue::Kind::Text && !siteList.text.empty();
    const bool reload = NumberOf(Policy(in, kIeModeReload, link)) == 1u;
    if (sites || reload) return {};
    if (NumberOf(Policy(in, kIeModeLocalFiles, link)) != 1u) return IeModeGivenNothingText();
    const std::vector<std::string> allowed = AllowedExtensions(in, link);
    std::string missing;
    for (std::string_view extension : IeModeExtensions(in.viewer)) {
        bool found = false;
        for (const std::string &entry : allowed)
            found = found || SameNoCase(entry, extension);
        if (!found) missing += (missing.empty() ? "" : ", ") + std::string(extension);
    }
    if (missing.empty()) return {};
    return IeModeExtensionsMissingText(missing);
}

} // namespace

Link BrowserLink(const ChainInputs &in) {
    Link link{LinkId::Browser};
    const Ie11Verdict ie11 = Ie11State(in, link);
    if (ie11.state == Ie11::Opens) return link;
    const std::string gap = IeModeGap(in, link);
    if (gap.empty()) return link;
    const bool usersRead = in.account == Account::User;
    const Cause cause = BrowserCause(ie11.why, gap, in.viewer.displayName, usersRead);
    if (ie11.state == Ie11::Unknown || !usersRead)
        link.Doubt(cause);
    else
        link.Break(cause);
    return link;
}

} // namespace quelvo
