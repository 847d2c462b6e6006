#include "class_key_copy.h"

#include "association.h"
#include "backup.h"

#include <algorithm>

namespace quelvo {
namespace {

std::string KeyPathOf(const std::string &path) {
    return path.substr(0, path.rfind('\\') + 1);
}

// A name a path cannot carry whole (a backslash would split it) or a .reg line cannot hold (a control character
// would break it) is left out of the copy, as a backup could not put it back.
bool Copyable(std::string_view name, bool value) {
    return std::ranges::none_of(name,
                                [&](char c) { return static_cast<unsigned char>(c) < 0x20 || (value && c == '\\'); });
}

// keyPath: the user's path of a key's default value ("...\.wrl\"), whose machine twin is listed.
void ListBelow(RegistryReader &registry, const std::string &keyPath, MachineKeyCopy &copy) {
    const KeyListing listing = registry.ListKey(MachineClassesPath(keyPath));
    if (listing.error != kRegistryOk) {
        if (listing.error != kRegistryFileNotFound && copy.unlistedPath.empty())
            copy.unlistedPath = MachineClassesPath(keyPath), copy.error = listing.error;
        return;
    }
    for (const std::string &name : listing.values)
        if (Copyable(name, true) && keyPath + name != copy.place) copy.values.push_back(keyPath + name);
    for (const std::string &name : listing.subkeys) {
        if (!Copyable(name, false)) continue;
        copy.subkeys.push_back(keyPath + name + "\\");
        ListBelow(registry, copy.subkeys.back(), copy);
    }
}

} // namespace

std::string MachineClassesPath(std::string_view userPath) {
    if (!userPath.starts_with(kUserClasses)) return std::string(userPath);
    return std::string(kMachineClasses).append(userPath.substr(kUserClasses.size()));
}

std::vector<MachineKeyCopy> PlanMachineKeyCopies(RegistryReader &registry) {
    std::vector<MachineKeyCopy> copies;
    for (const std::string &place : ManagedPlaces(Scope::CurrentUser)) {
        if (registry.KeyExists(place).state != KeyState::Absent) continue;
        MachineKeyCopy copy;
        copy.place = place;
        ListBelow(registry, KeyPathOf(place), copy);
        copies.push_back(std::move(copy));
    }
    return copies;
}

KeyCopyResult CopyMachineKey(const MachineKeyCopy &copy, RegistryReader &reader, RegistryWriter &writer) {
    KeyCopyResult result;
    const auto fail = [&](std::string path, RegistryError error) {
        result.failedPath = std::move(path);
        result.error = error;
        return result;
    };
    if (copy.error != kRegistryOk) return fail(copy.unlistedPath, copy.error);
    for (const std::string &key : copy.subkeys)
        if (const RegistryError error = writer.CreateKeyOf(key); error != kRegistryOk) return fail(key, error);
    for (const std::string &value : copy.values) {
        const RawRead read = reader.ReadRaw(MachineClassesPath(value));
        if (read.error == kRegistryFileNotFound) continue; // gone since it was listed: nothing to hide
        if (read.error != kRegistryOk) return fail(MachineClassesPath(value), read.error);
        if (const RegistryError error = writer.WriteRaw(value, read.type, read.data); error != kRegistryOk)
            return fail(value, error);
        ++result.valuesCopied;
    }
    return result;
}

} // namespace quelvo
