#include "association.h"

#include <algorithm>
#include <array>

namespace quelvo {
namespace {

// CosmoPlayer's order, as positions in the standard one: each VRML type is followed by its X3D partner first.
constexpr std::array<std::size_t, 11> kPairedFromStandard = {0, 1, 6, 7, 2, 3, 4, 5, 8, 9, 10};

std::string Concat(std::string_view a, std::string_view b, std::string_view c) {
    std::string text;
    text.reserve(a.size() + b.size() + c.size());
    return text.append(a).append(b).append(c);
}

void AppendContentTypeWrites(const ViewerRecord &viewer, std::vector<RegistryWrite> &writes) {
    for (std::size_t step = 0; step < kContentTypes.size(); ++step) {
        const std::size_t index =
            viewer.contentTypeOrder == ContentTypeOrder::Paired ? kPairedFromStandard[step] : step;
        const ContentType &contentType = kContentTypes[index];
        const std::string_view clsid = contentType.vrml ? viewer.vrmlClsid : viewer.x3dClsid;
        writes.push_back({Concat(kMachineClasses, kContentTypeKey, contentType.name) + "\\CLSID", std::string(clsid)});
    }
}

void AppendExtensionWrites(std::string_view root, const ExtensionSet &taken, std::string_view progId,
                           std::vector<RegistryWrite> &writes) {
    for (std::string_view extension : kExtensions)
        writes.push_back({Concat(root, extension, "\\"), taken.Contains(extension) ? std::string(progId) : ""});
}

} // namespace

std::vector<RegistryWrite> BuildAssociationList(const ViewerRecord &viewer) {
    std::vector<RegistryWrite> writes;
    writes.reserve(kContentTypes.size() + 2 * kExtensions.size());
    AppendContentTypeWrites(viewer, writes);
    AppendExtensionWrites(kMachineClasses, viewer.machineExtensions, viewer.extensionProgId, writes);
    AppendExtensionWrites(kMachineClasses, viewer.classesRootExtensions, viewer.extensionProgId, writes);
    return writes;
}

std::vector<RegistryWrite> FinalValues(const std::vector<RegistryWrite> &writes) {
    std::vector<RegistryWrite> places;
    for (const RegistryWrite &write : writes) {
        const auto same = std::ranges::find(places, write.path, &RegistryWrite::path);
        if (same == places.end()) places.push_back(write);
        else same->value = write.value;
    }
    return places;
}

std::string ToCurrentUserClasses(std::string_view path) {
    for (std::string_view root : {kMachineClasses, kClassesRoot})
        if (path.starts_with(root)) return Concat(kUserClasses, path.substr(root.size()), "");
    return std::string(path);
}

std::vector<RegistryWrite> SwitchWrites(const ViewerRecord &viewer, Scope scope) {
    std::vector<RegistryWrite> writes = BuildAssociationList(viewer);
    if (scope == Scope::CurrentUser)
        for (RegistryWrite &write : writes)
            write.path = ToCurrentUserClasses(write.path);
    return writes;
}

} // namespace quelvo
