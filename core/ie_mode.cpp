#include "ie_mode.h"

#include "default_associations.h"

namespace quelvo {

std::vector<std::string_view> IeModeExtensions(const ViewerRecord &viewer) {
    std::vector<std::string_view> extensions;
    for (std::string_view extension : kExtensions)
        if ((viewer.classesRootExtensions.Contains(extension) || viewer.machineExtensions.Contains(extension)) &&
            ShellLooksUp(extension))
            extensions.push_back(extension);
    return extensions;
}

// "Enterprise Mode schema v.2 guidance": site-list, a site per url, open-in IE11 for Internet Explorer mode.
std::string SiteListXml(const std::vector<std::string> &sites) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<site-list version=\"1\">\r\n"
                      "  <created-by>\r\n    <tool>Quelvo</tool>\r\n  </created-by>\r\n";
    for (const std::string &site : sites)
        xml += "  <site url=\"" + XmlAttribute(site) +
               "\">\r\n    <compat-mode>Default</compat-mode>\r\n"
               "    <open-in>IE11</open-in>\r\n  </site>\r\n";
    return xml + "</site-list>\r\n";
}

} // namespace quelvo
