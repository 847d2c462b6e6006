#pragma once
// The main window's private messages, posted to the window itself: one range, so that no two parts share a number.

#include <windows.h>

namespace quelvo {

inline constexpr UINT kElevatedSwitchDone = WM_APP + 1; // quelvo-cli.exe, started as administrator, has ended
inline constexpr UINT kCreateTooltips = WM_APP + 2;     // the window is shown: the tooltips cost the start nothing
inline constexpr UINT kRestoreFocus = WM_APP + 3;       // the focus goes back where it was, once activation is done
inline constexpr UINT kSwitchFollowUp = WM_APP + 4;     // what can wait after a switch: the shell notice, what hides

} // namespace quelvo
