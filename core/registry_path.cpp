#include "registry_path.h"

#include <array>
#include <utility>

namespace quelvo {
namespace {

constexpr std::array<std::pair<std::string_view, RegistryRoot>, 3> kRoots = {{
    {"HKEY_LOCAL_MACHINE", RegistryRoot::LocalMachine},
    {"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},
    {"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
}};

std::optional<RegistryRoot> RootNamed(std::string_view name) {
    for (const auto &[rootName, root] : kRoots)
        if (rootName == name) return root;
    return std::nullopt;
}

} // namespace

std::string_view RegistryRootName(RegistryRoot root) {
    for (const auto &[rootName, named] : kRoots)
        if (named == root) return rootName;
    return {};
}

std::optional<RegistryPath> ParseRegistryPath(std::string_view path) {
    const std::size_t rootEnd = path.find('\\');
    if (rootEnd == std::string_view::npos) return std::nullopt;
    const std::optional<RegistryRoot> root = RootNamed(path.substr(0, rootEnd));
    if (!root) return std::nullopt;

    const std::string_view rest = path.substr(rootEnd + 1);
    const std::size_t valueStart = rest.rfind('\\');
    if (valueStart == std::string_view::npos || valueStart == 0) return std::nullopt;
    const std::string_view key = rest.substr(0, valueStart);
    if (key.find("\\\\") != std::string_view::npos || key.back() == '\\') return std::nullopt;
    return RegistryPath{*root, std::string(key), std::string(rest.substr(valueStart + 1))};
}

} // namespace quelvo
