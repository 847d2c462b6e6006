#pragma once
// What the user is told when a viewer could not be chosen.

#include "core/association.h"

#include <windows.h>

#include <string>

namespace quelvo {

// adviseRights: ends a refusal for lack of rights with how to start the program as administrator.
std::wstring FailedSwitchMessage(const ViewerRecord &viewer, const SwitchOutcome &outcome, bool adviseRights = true);
void ReportFailedSwitch(HWND owner, const ViewerRecord &viewer, const SwitchOutcome &outcome);
// The switch stopped before any write, as the values before it could not be kept; ends with the question.
std::wstring NoBackupQuestion(const ViewerRecord &viewer, const SwitchOutcome &outcome, const std::string &location);
// An untrusted backup or folder was put aside on the way.
std::wstring MovedAsideMessage(const SwitchOutcome &outcome);

} // namespace quelvo
