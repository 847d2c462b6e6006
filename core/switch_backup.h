#pragma once
// The backup step of a switch: the values it is about to replace, kept once the switch is known to be allowed.

#include "association.h"

namespace quelvo {

// Where a switch made without a backup is recorded, so that no later backup calls itself "before Quelvo".
inline constexpr std::string_view kMachineNoBackupRecord = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Quelvo\\SwitchedWithoutBackup";
inline constexpr std::string_view kUserNoBackupRecord = "HKEY_CURRENT_USER\\Software\\Quelvo\\SwitchedWithoutBackup";

// In this order: the first write probed (a refusal there ends the switch as a refused write, with nothing kept or
// made), the store checked, the values read, the file kept. False when the switch must write nothing.
bool KeepBackupFirst(std::string_view firstPath, const SwitchServices &services, SwitchOutcome &outcome);

} // namespace quelvo
