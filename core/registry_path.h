#pragma once
// Splits a full registry path into root, key and value name. A trailing backslash names the key's default value;
// a content type such as "model/vrml" stays one key name because only backslashes separate.

#include <optional>
#include <string>
#include <string_view>

namespace quelvo {

enum class RegistryRoot { LocalMachine, ClassesRoot, CurrentUser };

struct RegistryPath {
    RegistryRoot root;
    std::string key;       // below the root, backslash-separated, never empty
    std::string valueName; // empty for the default value
};

std::optional<RegistryPath> ParseRegistryPath(std::string_view path);

// The root's full name, as paths and .reg files spell it.
std::string_view RegistryRootName(RegistryRoot root);

} // namespace quelvo
