#pragma once
// Pictures at the window's DPI. Each bitmap resource is drawn at 100 % and at 200 % (IDB_DOUBLE_SIZE_OFFSET IDs
// further on).

#include <windows.h>

namespace quelvo {

// The 100 % image as it is at 96 dots per inch; at any other DPI its size scaled by dpi / 96, made from the
// smallest image at least that large, scaled down with halftone filtering. A 100 % image is never blown up.
HBITMAP LoadBitmapForDpi(HINSTANCE instance, int id, UINT dpi);

// The program icon at edge × edge pixels: the icon's nearest image, which Windows scales if it has none that size.
HICON LoadProgramIcon(HINSTANCE instance, int edge);

} // namespace quelvo
