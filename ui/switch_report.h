#pragma once
// What the user is told when a viewer could not be chosen.

#include "core/association.h"

#include <windows.h>

#include <string>

namespace quelvo {

std::wstring FailedSwitchMessage(const ViewerRecord &viewer, const SwitchOutcome &outcome);
void ReportFailedSwitch(HWND owner, const ViewerRecord &viewer, const SwitchOutcome &outcome);

} // namespace quelvo
