#pragma once
// Whose profile HKEY_CURRENT_USER is: a person's, or the system's own when the program runs as SYSTEM, LOCAL
// SERVICE or NETWORK SERVICE (a computer start-up script, a management agent).

#include "core/hiding.h"

#include <windows.h>

namespace quelvo {

// SystemOrService for the three service accounts' SIDs, User for any other.
Account AccountOfSid(PSID sid);
// The process token's user; User when the token cannot be read, since the profile is then most likely a person's.
Account CurrentAccount();

} // namespace quelvo
