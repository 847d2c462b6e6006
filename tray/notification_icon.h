#pragma once
// The program's one icon in the notification area.

#include "icon_data.h"

#include <string>
#include <utility>

namespace quelvo {

class NotificationIcon {
public:
    // tip: what the icon's tooltip says, in the ANSI code page.
    NotificationIcon(NotificationArea &area, std::string tip) : area_(area), tip_(std::move(tip)) {}
    NotificationIcon(const NotificationIcon &) = delete;
    NotificationIcon &operator=(const NotificationIcon &) = delete;

    // True when the icon is there afterwards: added now, or already there from an earlier add.
    bool Add(HWND owner, HICON picture);
    bool IsPresent();
    void Remove(HWND owner);
    // A restarted shell has forgotten the icon: the same record again.
    void AddAgain();

private:
    NotificationArea &area_;
    std::string tip_;
    IconData data_ = {};
};

} // namespace quelvo
