#pragma once
// A per-user class key hides the machine's key of that name whole, values and subkeys, even when it holds nothing.
// A per-user switch that creates one therefore first copies into it what the machine's key holds beside the value
// the switch writes (.wrl's "Content Type", by which Internet Explorer knows a local file is model/vrml; a content
// type's "Extension"; a file type's OpenWithProgids), so that the user loses none of it.

#include "registry.h"

#include <cstddef>
#include <string>
#include <vector>

namespace quelvo {

// What one per-user key that does not exist yet gets from the machine's key of that name. Paths are the user's,
// under HKEY_CURRENT_USER\Software\Classes; the machine's are the same below HKEY_LOCAL_MACHINE\SOFTWARE\Classes.
struct MachineKeyCopy {
    std::string place;                // the per-user place the switch writes; its key is the one created
    std::vector<std::string> subkeys; // every key below it, parents first, each as the path of its default value
    std::vector<std::string> values;  // every value of the key and below it, but the place itself
    std::string unlistedPath;         // a machine key that could not be listed: the copy would be incomplete
    RegistryError error = kRegistryOk;
};

// One for each per-user place whose key is absent, in the order of the places.
std::vector<MachineKeyCopy> PlanMachineKeyCopies(RegistryReader &registry);

// The machine's path of a path under HKEY_CURRENT_USER\Software\Classes.
std::string MachineClassesPath(std::string_view userPath);

struct KeyCopyResult {
    std::size_t valuesCopied = 0;
    std::string failedPath; // the machine path that could not be read, or the user's that could not be written
    RegistryError error = kRegistryOk;
};

// Keys first, then each value with its type and bytes; stops at the first failure.
KeyCopyResult CopyMachineKey(const MachineKeyCopy &copy, RegistryReader &reader, RegistryWriter &writer);

} // namespace quelvo
