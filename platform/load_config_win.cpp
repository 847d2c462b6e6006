// The PE load configuration of both programs. Its one non-zero field asks Windows 10 1607 and later to resolve the
// program's own imports (kernel32, user32...) from System32 only, so that a DLL of that name lying beside the exe is
// never taken; older Windows ignore the field. The linker leaves the load-configuration directory empty:
// cmake/set_load_config.py points it at this structure after linking, before signing.
#include <windows.h>

namespace {

constexpr IMAGE_LOAD_CONFIG_DIRECTORY64 SystemFolderImports() {
    IMAGE_LOAD_CONFIG_DIRECTORY64 config{};
    config.Size = sizeof config;
    config.Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32; // DependentLoadFlags in newer SDKs
    return config;
}

} // namespace

extern "C" __attribute__((used)) const IMAGE_LOAD_CONFIG_DIRECTORY64 _load_config_used = SystemFolderImports();
