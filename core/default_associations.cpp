#include "default_associations.h"

namespace quelvo {

std::string XmlAttribute(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        // Kept as characters: a parser would turn them, written raw, into spaces.
        case '\t':
            out += "&#9;";
            break;
        case '\n':
            out += "&#10;";
            break;
        case '\r':
            out += "&#13;";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20)
                out += "\xEF\xBF\xBD";
            else
                out += c;
        }
    }
    return out;
}

std::vector<std::string_view> ExtensionsLeftOut(const ViewerRecord &viewer) {
    std::vector<std::string_view> left;
    for (std::string_view extension : kExtensions)
        if (viewer.classesRootExtensions.Contains(extension) && !ShellLooksUp(extension)) left.push_back(extension);
    return left;
}

std::string DefaultAssociationsXml(const ViewerRecord &viewer) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<DefaultAssociations>\r\n";
    for (std::string_view extension : kExtensions)
        if (viewer.classesRootExtensions.Contains(extension) && ShellLooksUp(extension))
            xml += "  <Association Identifier=\"" + XmlAttribute(extension) + "\" ProgId=\"" +
                   XmlAttribute(viewer.extensionProgId) + "\" ApplicationName=\"" + XmlAttribute(viewer.displayName) +
                   "\" />\r\n";
    return xml + "</DefaultAssociations>\r\n";
}

} // namespace quelvo
