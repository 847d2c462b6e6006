#pragma once
// Whether the 29 places hold what a switch to the current viewer leaves there, and what hides them from the user.

#include "association.h"

#include <string>
#include <vector>

namespace quelvo {

enum class ValueState { Text, Absent, NotText, Unreadable };

struct LocationStatus {
    std::string path;
    ValueState state = ValueState::Absent;
    std::string text;
    std::string expected; // what the switch leaves there; empty when no viewer was recognised
    bool matches = false;
};

// A per-user value that Windows shows the user instead of the machine's.
struct HidingValue {
    enum class Kind { UserDefault, UserChoice };
    Kind kind;
    std::string extension;
    std::string path;
    ValueState state;
    std::string text;
};

struct StatusReport {
    const ViewerRecord *viewer = nullptr; // the window's rule: the default value of HKEY_CLASSES_ROOT\.wrl
    std::vector<LocationStatus> locations;
    std::vector<HidingValue> hiding;
    // 0 consistent, 1 something differs or hides, 3 no viewer recognised.
    int ExitCode() const;
};

StatusReport CheckStatus(RegistryReader &registry);

// The per-user values that hide the machine's from the user running it, extension by extension.
std::vector<HidingValue> FindHiding(RegistryReader &registry);

} // namespace quelvo
