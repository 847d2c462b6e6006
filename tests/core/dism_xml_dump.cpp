// Prints the default-associations file of the viewer named on the command line, or with --crafted that of a made-up
// viewer whose texts carry every character XML treats specially, for dism_xml_test.py to parse.
#include "core/default_associations.h"
#include "core/viewer_name.h"

#include <cstdio>
#include <string>

int main(int argc, char **argv) {
    if (argc != 2) return 2;
    const std::string name = argv[1];
    quelvo::ViewerRecord crafted = quelvo::Viewers().front();
    crafted.displayName = "A<b> & \"c\" 'd'\t\n\r\x01 é";
    crafted.extensionProgId = "P&Q<R>";
    const quelvo::ViewerRecord *viewer = name == "--crafted" ? &crafted : quelvo::FindViewerByName(name);
    if (!viewer) return 2;
    const std::string xml = quelvo::DefaultAssociationsXml(*viewer);
    std::fwrite(xml.data(), 1, xml.size(), stdout);
    return 0;
}
