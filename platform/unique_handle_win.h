#pragma once
// Move-only owners of Windows handles: one traits struct per handle type says how it is released.

#include <windows.h>

#include <utility>

namespace quelvo {

template <typename Traits> class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle &) = delete;
    UniqueHandle &operator=(const UniqueHandle &) = delete;
    UniqueHandle(UniqueHandle &&other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
    UniqueHandle &operator=(UniqueHandle &&other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, Handle{}));
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Handle{}; }
    void Reset(Handle handle = Handle{}) {
        if (handle_ != Handle{}) Traits::Release(handle_);
        handle_ = handle;
    }
    // For APIs that fill in a handle.
    Handle *Receive() {
        Reset();
        return &handle_;
    }

private:
    Handle handle_{};
};

struct KeyTraits {
    using Handle = HKEY;
    static void Release(HKEY key) { RegCloseKey(key); }
};
struct MenuTraits {
    using Handle = HMENU;
    static void Release(HMENU menu) { DestroyMenu(menu); }
};
struct IconTraits {
    using Handle = HICON;
    static void Release(HICON icon) { DestroyIcon(icon); }
};
struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static void Release(HGDIOBJ object) { DeleteObject(object); }
};
struct KernelHandleTraits {
    using Handle = HANDLE;
    static void Release(HANDLE handle) { CloseHandle(handle); }
};

using UniqueKey = UniqueHandle<KeyTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

} // namespace quelvo
