#pragma once
// An accessible name for a control whose own text is something else (Text1 shows the viewer; a screen reader
// should name the box "En Cours"). The accessibility library is loaded only when a client first asks.

#include <windows.h>

namespace quelvo {

// name must outlive the control.
void SetAccessibleName(HWND control, const wchar_t *name);

} // namespace quelvo
