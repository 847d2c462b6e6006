#pragma once

#include <windows.h>

namespace quelvo {

// Places form in the z-order band that position names (-1: topmost) where it stands now, without resizing it.
// One SetWindowPos call; it also activates the window.
void SetOnTop(HWND form, short position);

} // namespace quelvo
