#pragma once
// Filling the notification-icon record.

#include "platform/notification_area_win.h"

#include <string_view>

namespace quelvo {

inline constexpr UINT kIconId = 1;

// Every field, as the tray command sets them; tip in the ANSI code page, cut to the field's 63 characters.
void FillIconData(IconData &icon, HWND owner, HICON picture, std::string_view tip);
// Only the fields that name the icon, as the removal calls set them; the others keep their values.
void AddressIconData(IconData &icon, HWND owner);

} // namespace quelvo
