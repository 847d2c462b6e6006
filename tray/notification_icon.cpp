#include "notification_icon.h"

namespace quelvo {

bool NotificationIcon::Add(HWND owner, HICON picture) {
    FillIconData(data_, owner, picture, tip_);
    return area_.Add(data_) || IsPresent();
}

bool NotificationIcon::IsPresent() {
    IconData probe = data_;
    probe.uFlags = 0; // changes nothing, answers whether the icon exists
    return area_.Modify(probe);
}

void NotificationIcon::Remove(HWND owner) {
    AddressIconData(data_, owner);
    area_.Delete(data_);
}

void NotificationIcon::AddAgain() {
    area_.Add(data_);
}

} // namespace quelvo
