#include "association.h"

#include "backup.h"

#include <algorithm>
#include <array>

namespace quelvo {
namespace {

constexpr auto &kStandardContentTypeOrder = kContentTypeNames;

// CosmoPlayer's order, as positions in the standard one: each VRML type is followed by its X3D partner first.
constexpr std::array<std::size_t, 11> kPairedFromStandard = {0, 1, 6, 7, 2, 3, 4, 5, 8, 9, 10};

bool IsVrmlContentType(std::string_view contentType) {
    return std::ranges::find(kVrmlContentTypes, contentType) != kVrmlContentTypes.end();
}

std::string Concat(std::string_view a, std::string_view b, std::string_view c) {
    std::string text;
    text.reserve(a.size() + b.size() + c.size());
    return text.append(a).append(b).append(c);
}

void AppendContentTypeWrites(const ViewerRecord &viewer, std::vector<RegistryWrite> &writes) {
    for (std::size_t step = 0; step < kStandardContentTypeOrder.size(); ++step) {
        const std::size_t index =
            viewer.contentTypeOrder == ContentTypeOrder::Paired ? kPairedFromStandard[step] : step;
        const std::string_view contentType = kStandardContentTypeOrder[index];
        const std::string_view clsid = IsVrmlContentType(contentType) ? viewer.vrmlClsid : viewer.x3dClsid;
        writes.push_back({Concat(kMachineClasses, kContentTypes, contentType) + "\\CLSID", std::string(clsid)});
    }
}

void AppendExtensionWrites(std::string_view root, const ExtensionSet &taken, std::string_view progId,
                           std::vector<RegistryWrite> &writes) {
    for (std::string_view extension : kExtensions)
        writes.push_back({Concat(root, extension, "\\"), taken.Contains(extension) ? std::string(progId) : ""});
}

} // namespace

void ShowCurrentViewer(const ViewerRecord &current, ViewerDisplay &display) {
    display.SetStatusText(current.displayName);
    for (const ViewerRecord &viewer : Viewers())
        display.SetViewerChecked(viewer, &viewer == &current);
}

std::vector<RegistryWrite> BuildAssociationList(const ViewerRecord &viewer) {
    std::vector<RegistryWrite> writes;
    writes.reserve(kStandardContentTypeOrder.size() + 2 * kExtensions.size());
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

namespace {

// Only the machine's values get the file under ProgramData; a per-user switch leaves them alone.
void KeepMachineValuesOnce(const SwitchServices &services, SwitchOutcome &outcome) {
    if (services.scope != Scope::Machine || services.machineBackup.Exists()) return;
    const RegistryError error = services.machineBackup.WriteNew(BackupFileBytes(Scope::Machine, services.reader));
    if (error == kRegistryFileExists) return; // another switch kept them a moment ago
    outcome.backup = error == kRegistryOk ? BackupResult::Written : BackupResult::Failed;
    outcome.backupError = error;
}

} // namespace

SwitchOutcome SwitchViewer(const ViewerRecord &viewer, const SwitchServices &services, ViewerDisplay &display) {
    SwitchOutcome outcome;
    KeepMachineValuesOnce(services, outcome);
    for (const RegistryWrite &write : SwitchWrites(viewer, services.scope)) {
        if (RegistryError error = services.writer.WriteString(write.path, write.value); error != kRegistryOk) {
            outcome.failedPath = write.path;
            outcome.error = error;
            break;
        }
        ++outcome.writesDone;
    }
    if (outcome.writesDone > 0) services.shell.AssociationsChanged();
    if (outcome.Succeeded()) ShowCurrentViewer(viewer, display);
    return outcome;
}

} // namespace quelvo
