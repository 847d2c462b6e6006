#pragma once
// Internet Explorer mode in Microsoft Edge, as its policies set it under SOFTWARE\Policies\Microsoft\Edge (the
// machine's first, then the user's): the names that both the check and the exported .reg file use.

#include "viewer_catalogue.h"

#include <string>
#include <string_view>
#include <vector>

namespace quelvo {

inline constexpr std::string_view kEdgePolicies = "SOFTWARE\\Policies\\Microsoft\\Edge";
inline constexpr std::string_view kIeModeLevel = "InternetExplorerIntegrationLevel"; // 1: Internet Explorer mode
inline constexpr std::string_view kIeModeSiteList = "InternetExplorerIntegrationSiteList";
inline constexpr std::string_view kIeModeReload = "InternetExplorerIntegrationReloadInIEModeAllowed";
inline constexpr std::string_view kIeModeLocalFiles = "InternetExplorerIntegrationLocalFileAllowed";
inline constexpr std::string_view kIeModeExtensions = "InternetExplorerIntegrationLocalFileExtensionAllowList";

// The viewer's extensions that the shell can see: it takes the text after the last dot, so ".wrl.gz" is ".gz".
std::vector<std::string_view> IeModeExtensions(const ViewerRecord &viewer);

// The Enterprise Mode site list (schema v.2) that sends each site to Internet Explorer mode; sites as given,
// XML-escaped.
std::string SiteListXml(const std::vector<std::string> &sites);

} // namespace quelvo
