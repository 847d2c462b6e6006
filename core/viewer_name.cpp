#include "viewer_name.h"

#include <string>

namespace quelvo {
namespace {

std::string Folded(std::string_view name) {
    std::string folded;
    for (char c : name) {
        if (c == ' ' || c == '\t' || c == '-') continue;
        folded += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return folded;
}

} // namespace

const ViewerRecord *FindViewerByName(std::string_view name) {
    const std::string wanted = Folded(name);
    for (const ViewerRecord &viewer : Viewers())
        if (!wanted.empty() && Folded(viewer.displayName) == wanted) return &viewer;
    return nullptr;
}

} // namespace quelvo

namespace quelvo {

std::vector<const ViewerRecord *> ViewersSharingAClass(const ViewerRecord &viewer) {
    std::vector<const ViewerRecord *> sharing;
    for (const ViewerRecord &other : Viewers()) {
        if (&other == &viewer) continue;
        for (std::string_view clsid : {other.vrmlClsid, other.x3dClsid})
            if (clsid == viewer.vrmlClsid || clsid == viewer.x3dClsid) {
                sharing.push_back(&other);
                break;
            }
    }
    return sharing;
}

} // namespace quelvo
