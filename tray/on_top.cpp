#include "on_top.h"

namespace quelvo {

void SetOnTop(HWND form, short position) {
    // The window's own pixel position keeps it in place at any screen resolution.
    RECT place = {};
    GetWindowRect(form, &place);
    const HWND insertAfter = reinterpret_cast<HWND>(static_cast<LONG_PTR>(position));
    SetWindowPos(form, insertAfter, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_FRAMECHANGED);
}

} // namespace quelvo
