#pragma once
// What the user is told when a viewer could not be chosen.

#include "core/association.h"

#include <windows.h>

#include <string>

namespace quelvo {

// adviseRights: ends a refusal for lack of rights with how to start the program as administrator.
std::wstring FailedSwitchMessage(const ViewerRecord &viewer, const SwitchOutcome &outcome, bool adviseRights = true);
void ReportFailedSwitch(HWND owner, const ViewerRecord &viewer, const SwitchOutcome &outcome);

} // namespace quelvo
