#pragma once
// Whether the places a switch writes already hold what it would leave there: the command line then leaves the PC
// alone, and a check says what a repair would change.

#include "status.h"

#include <string>
#include <vector>

namespace quelvo {

// Each place the switch writes, once, with the value its last write there leaves, in the order of first writes.
std::vector<RegistryWrite> EndState(const ViewerRecord &viewer, Scope scope);

// Every place of the end state as it stands, each judged by HoldsEndValue.
std::vector<LocationStatus> CompareWithEndState(const ViewerRecord &viewer, Scope scope, RegistryReader &registry);
bool AllMatch(const std::vector<LocationStatus> &places);

// What a check answers. Without forUser: the machine's places only (what "use" repairs); what hides them is named
// but does not count. With forUser: what the user running it gets, per-user keys and choices included.
struct CheckReport {
    const ViewerRecord *viewer = nullptr;
    bool forUser = false;
    std::vector<LocationStatus> machine;
    HidingReport hiding; // hiding.usersChecked is false as SYSTEM without forUser: no user's settings were read
    // forUser: each hidden place where this user gets something else, by the path of what wins there.
    std::vector<LocationStatus> userGets;
    bool InPlace() const;
    int ExitCode() const { return InPlace() ? 0 : 1; }
};

// account says whose settings HKEY_CURRENT_USER holds; with forUser they are read whoever it is.
CheckReport CheckViewer(const ViewerRecord &viewer, bool forUser, Account account, RegistryReader &registry);

} // namespace quelvo
