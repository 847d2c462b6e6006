#pragma once
// The shell's notification area, reached through Shell_NotifyIconA with the shell's earliest record layout.

#include <windows.h>
#include <shellapi.h>

#include <cstddef>

namespace quelvo {

// The first NOTIFYICONDATAA layout: a 64-byte ANSI tip and nothing after it. With 64-bit handles it is 104
// bytes; every shell since the first accepts it.
struct IconData {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    CHAR szTip[64];
};
static_assert(sizeof(IconData) == NOTIFYICONDATAA_V1_SIZE && sizeof(IconData) == 104);
static_assert(offsetof(IconData, hWnd) == 8 && offsetof(IconData, uID) == 16 && offsetof(IconData, uFlags) == 20 &&
              offsetof(IconData, uCallbackMessage) == 24 && offsetof(IconData, hIcon) == 32 &&
              offsetof(IconData, szTip) == 40);
static_assert(offsetof(IconData, hWnd) == offsetof(NOTIFYICONDATAA, hWnd));
static_assert(offsetof(IconData, uID) == offsetof(NOTIFYICONDATAA, uID));
static_assert(offsetof(IconData, uFlags) == offsetof(NOTIFYICONDATAA, uFlags));
static_assert(offsetof(IconData, uCallbackMessage) == offsetof(NOTIFYICONDATAA, uCallbackMessage));
static_assert(offsetof(IconData, hIcon) == offsetof(NOTIFYICONDATAA, hIcon));
static_assert(offsetof(IconData, szTip) == offsetof(NOTIFYICONDATAA, szTip));

class NotificationArea {
public:
    virtual ~NotificationArea() = default;
    virtual bool Add(const IconData &icon) = 0;
    // Changes nothing that the record does not name; fails when the icon does not exist, so it also tells
    // whether the icon is there.
    virtual bool Modify(const IconData &icon) = 0;
    virtual bool Delete(const IconData &icon) = 0;
};

class ShellNotificationArea : public NotificationArea {
public:
    bool Add(const IconData &icon) override;
    bool Modify(const IconData &icon) override;
    bool Delete(const IconData &icon) override;
};

} // namespace quelvo
