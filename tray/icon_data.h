#pragma once
// Filling the notification-icon record.

#include "platform/notification_area_win.h"

namespace quelvo {

inline constexpr UINT kIconId = 1;
inline constexpr char kIconTip[] = "Quelvo by Tarnix";

// Every field, as the tray command sets them.
void FillIconData(IconData &icon, HWND owner, HICON picture);
// Only the fields that name the icon, as the removal calls set them; the others keep their values.
void AddressIconData(IconData &icon, HWND owner);

} // namespace quelvo
