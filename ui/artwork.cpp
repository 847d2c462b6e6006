#include "artwork.h"

#include "platform/device_context_win.h"
#include "platform/dpi_win.h"
#include "resource.h"

namespace quelvo {
namespace {

HBITMAP LoadBitmapResource(HINSTANCE instance, int id) {
    return static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
}

SIZE SizeOf(HBITMAP bitmap) {
    BITMAP header = {};
    GetObjectW(bitmap, sizeof header, &header);
    return {header.bmWidth, header.bmHeight};
}

// Halftone averages every source pixel that falls into a target pixel, so edges stay smooth when shrinking.
HBITMAP ScaledCopy(HBITMAP source, SIZE from, SIZE to) {
    const WindowDc screen(nullptr);
    HBITMAP target = CreateCompatibleBitmap(screen.Get(), to.cx, to.cy);
    const MemoryDc sourceDc(screen.Get());
    const MemoryDc targetDc(screen.Get());
    const SelectedObject sourceSelected(sourceDc.Get(), source);
    const SelectedObject targetSelected(targetDc.Get(), target);
    SetStretchBltMode(targetDc.Get(), HALFTONE);
    SetBrushOrgEx(targetDc.Get(), 0, 0, nullptr);
    StretchBlt(targetDc.Get(), 0, 0, to.cx, to.cy, sourceDc.Get(), 0, 0, from.cx, from.cy, SRCCOPY);
    return target;
}

} // namespace

HBITMAP LoadBitmapForDpi(HINSTANCE instance, int id, UINT dpi) {
    HBITMAP normal = LoadBitmapResource(instance, id);
    if (dpi == kDesignDpi || !normal) return normal;
    const SIZE normalSize = SizeOf(normal);
    const SIZE needed = {MulDiv(normalSize.cx, static_cast<int>(dpi), kDesignDpi),
                         MulDiv(normalSize.cy, static_cast<int>(dpi), kDesignDpi)};
    HBITMAP source = normal;
    if (needed.cx > normalSize.cx || needed.cy > normalSize.cy) {
        // Beyond 200 % nothing larger exists; the double-size image then grows, never the 100 % one.
        if (HBITMAP doubled = LoadBitmapResource(instance, id + IDB_DOUBLE_SIZE_OFFSET)) {
            DeleteObject(normal);
            source = doubled;
        }
    }
    const SIZE sourceSize = SizeOf(source);
    if (sourceSize.cx == needed.cx && sourceSize.cy == needed.cy) return source;
    HBITMAP scaled = ScaledCopy(source, sourceSize, needed);
    DeleteObject(source);
    return scaled;
}

HICON LoadProgramIcon(HINSTANCE instance, int edge) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUELVO), IMAGE_ICON, edge, edge, 0));
}

} // namespace quelvo
