#pragma once
// The 29 registry writes that make one viewer the default handler.

#include "viewer_catalogue.h"

#include <string>
#include <vector>

namespace quelvo {

// The roots of the class keys: the machine's, which a switch writes; the classes root, which is what the user
// running the program sees and is only ever read; the user's own, where a per-user switch writes.
inline constexpr std::string_view kMachineClasses = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\";
inline constexpr std::string_view kClassesRoot = "HKEY_CLASSES_ROOT\\";
inline constexpr std::string_view kUserClasses = "HKEY_CURRENT_USER\\Software\\Classes\\";
// Below a classes root: where the content types live.
inline constexpr std::string_view kContentTypeKey = "MIME\\Database\\Content Type\\";

struct RegistryWrite {
    std::string path;
    std::string value;
    bool operator==(const RegistryWrite &) const = default;
};

// Content types first (in the viewer's order), then the machine extension set, then the classes-root set. All
// 29 go to the machine's keys: through HKEY_CLASSES_ROOT a write would land in the profile of an account that has
// a key of its own for that extension, and every other user would keep the machine's old value.
std::vector<RegistryWrite> BuildAssociationList(const ViewerRecord &viewer);

// The 20 distinct places the list writes, each with the value it ends with, in the order of first writes.
std::vector<RegistryWrite> FinalValues(const std::vector<RegistryWrite> &writes);

// Machine: the list as it is. CurrentUser: every key moved under HKEY_CURRENT_USER\Software\Classes, which
// Windows merges over the machine's classes for that user alone.
enum class Scope { Machine, CurrentUser };

std::string ToCurrentUserClasses(std::string_view path);
// The writes a switch makes, in its order: the association list, moved for the current user if asked.
std::vector<RegistryWrite> SwitchWrites(const ViewerRecord &viewer, Scope scope);

} // namespace quelvo
