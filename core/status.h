#pragma once
// Whether the machine's 20 places hold what a switch to the machine's viewer leaves there, and what of this
// user's own wins over them.

#include "association.h"
#include "detection.h"
#include "hiding.h"

#include <string>
#include <vector>

namespace quelvo {

struct LocationStatus {
    std::string path;
    ValueState state = ValueState::Absent;
    std::string text;
    std::string expected; // what the switch leaves there; empty when no viewer was recognised
    bool matches = false;
};

struct StatusReport {
    const ViewerRecord *viewer = nullptr; // the machine's: recognised from its .wrl value
    std::vector<LocationStatus> locations;
    HidingReport hiding;
    // 0 in place and nothing hides it, 1 something differs or hides, 3 no viewer recognised, 4 in place but no
    // user's own settings checked.
    int ExitCode() const;
};

StatusReport CheckStatus(RegistryReader &registry, Account account);

// Whether a place holds what a switch leaves there, for status and check alike: its text, stored as REG_SZ or
// REG_EXPAND_SZ. The shell reads class keys' text with REG_EXPAND_SZ expanded and returned as REG_SZ (Microsoft,
// "SRRF": SRRF_RT_REG_SZ), and no value a switch writes holds a %, so the same text either way reads the same.
bool HoldsEndValue(const SeenValue &seen, std::string_view expected);

} // namespace quelvo
