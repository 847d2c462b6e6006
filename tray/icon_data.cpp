#include "icon_data.h"

#include <cstring>

namespace quelvo {

void AddressIconData(IconData &icon, HWND owner) {
    icon.cbSize = sizeof(IconData);
    icon.hWnd = owner;
    icon.uID = kIconId;
}

void FillIconData(IconData &icon, HWND owner, HICON picture, std::string_view tip) {
    AddressIconData(icon, owner);
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = WM_MOUSEMOVE;
    icon.hIcon = picture;
    // The tip, its NUL, then spaces to the end of the field; the shell reads up to the NUL.
    std::memset(icon.szTip, ' ', sizeof icon.szTip);
    const std::size_t length = tip.size() < sizeof icon.szTip ? tip.size() : sizeof icon.szTip - 1;
    std::memcpy(icon.szTip, tip.data(), length);
    icon.szTip[length] = '\0';
}

} // namespace quelvo
