#pragma once
// An accessible name for a control whose own text is something else (Text1 shows the viewer; a screen reader
// should name the box "En Cours"). The accessibility library is loaded only when a client first asks.

#include <windows.h>

namespace quelvo {

// nameId: a text of the string table, read each time a client asks.
void SetAccessibleName(HWND control, UINT nameId);

} // namespace quelvo
