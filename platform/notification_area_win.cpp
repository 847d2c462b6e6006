#include "notification_area_win.h"

namespace quelvo {
namespace {

bool Notify(DWORD message, const IconData &icon) {
    // The shell reads only cbSize bytes, and IconData is exactly the layout that cbSize names.
    return Shell_NotifyIconA(message, reinterpret_cast<NOTIFYICONDATAA *>(const_cast<IconData *>(&icon))) != FALSE;
}

} // namespace

bool ShellNotificationArea::Add(const IconData &icon) {
    return Notify(NIM_ADD, icon);
}
bool ShellNotificationArea::Modify(const IconData &icon) {
    return Notify(NIM_MODIFY, icon);
}
bool ShellNotificationArea::Delete(const IconData &icon) {
    return Notify(NIM_DELETE, icon);
}

} // namespace quelvo
