#pragma once
// The program's one icon in the notification area.

#include "icon_data.h"

namespace quelvo {

class NotificationIcon {
public:
    explicit NotificationIcon(NotificationArea &area) : area_(area) {}
    NotificationIcon(const NotificationIcon &) = delete;
    NotificationIcon &operator=(const NotificationIcon &) = delete;

    // True when the icon is there afterwards: added now, or already there from an earlier add.
    bool Add(HWND owner, HICON picture);
    bool IsPresent();
    void Remove(HWND owner);
    // A restarted shell has forgotten the icon: the same record again.
    void AddAgain();
    const IconData &Data() const { return data_; }

private:
    NotificationArea &area_;
    IconData data_ = {};
};

} // namespace quelvo
