#pragma once
// Move-only owners for the handle kinds Velmora holds. Copies are deleted: a copied
// GDI or registry handle is a double release waiting to happen.
#include <windows.h>

#include <utility>

namespace velmora {

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Handle{}; }
    // For out-parameters of calls that open the handle; anything held is released first.
    Handle* put() noexcept {
        reset();
        return &handle_;
    }
    Handle release() noexcept { return std::exchange(handle_, Handle{}); }
    void reset(Handle handle = Handle{}) noexcept {
        if (handle_ != Handle{}) Traits::Close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_{};
};

// A kind of handle and the call that lets one go.
template <class HandleType, auto close>
struct HandleTraits {
    using Handle = HandleType;
    static void Close(HandleType handle) noexcept { close(handle); }
};

using UniqueHkey = UniqueHandle<HandleTraits<HKEY, &RegCloseKey>>;
using UniqueFont = UniqueHandle<HandleTraits<HFONT, &DeleteObject>>;
using UniqueBrush = UniqueHandle<HandleTraits<HBRUSH, &DeleteObject>>;
using UniqueBitmap = UniqueHandle<HandleTraits<HBITMAP, &DeleteObject>>;
using UniqueRegion = UniqueHandle<HandleTraits<HRGN, &DeleteObject>>;
using UniqueMenu = UniqueHandle<HandleTraits<HMENU, &DestroyMenu>>;
using UniqueWindow = UniqueHandle<HandleTraits<HWND, &DestroyWindow>>;  // a window owned, not a Window
using UniqueKernelHandle = UniqueHandle<HandleTraits<HANDLE, &CloseHandle>>;
using UniqueMemoryDc = UniqueHandle<HandleTraits<HDC, &DeleteDC>>;  // from CreateCompatibleDC

// Selects a GDI object into a DC for one scope and puts the old one back.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(SelectObject(dc, object)) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() { SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// GetDC/ReleaseDC as one scope.
class ScopedWindowDc {
public:
    explicit ScopedWindowDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
    ScopedWindowDc(const ScopedWindowDc&) = delete;
    ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
    ~ScopedWindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC dc() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint/EndPaint as one scope.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window) noexcept : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    ~ScopedPaint() { EndPaint(window_, &paint_); }
    HDC dc() const noexcept { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_{};
};

}  // namespace velmora
