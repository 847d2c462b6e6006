#pragma once
// What the user is told when a viewer could not be chosen.

#include "core/switch.h"
#include "core/switch_lock.h"

#include <windows.h>

#include <string>

namespace quelvo {

// The viewer, the key refused, what Windows says and what stays written. What can be done next is the caller's.
std::wstring FailedSwitchMessage(const ViewerRecord &viewer, const SwitchOutcome &outcome);
// The same without its first line, which names the viewer.
std::wstring FailureDetails(const SwitchOutcome &outcome);
// The PC-wide lock kept the switch from being made: busy, held by another account or not to be opened.
std::wstring LockRefusedMessage(const ViewerRecord &viewer, const LockResult &lock, std::uint32_t waitSeconds);
// The switch stopped before any write, as the values before it could not be kept; ends with the question.
std::wstring NoBackupQuestion(const ViewerRecord &viewer, const SwitchOutcome &outcome, const std::string &location);
// An untrusted backup or folder was put aside on the way.
std::wstring MovedAsideMessage(const SwitchOutcome &outcome);

} // namespace quelvo
