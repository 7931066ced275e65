// RAII owners for Win32 handles and COM pointers. Each owner closes its
// handle exactly once; none can be copied, all can be moved.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <commctrl.h>
#include <utility>

namespace gui {

// A handle with a close function and an "empty" value.
template <class H, class Traits>
class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(H h) noexcept : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(o.release()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    H get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return Traits::valid(h_); }
    H release() noexcept { return std::exchange(h_, Traits::empty()); }
    void reset(H h = Traits::empty()) noexcept {
        if (Traits::valid(h_)) Traits::close(h_);
        h_ = h;
    }
    // For APIs that fill in a handle through a pointer.
    H* put() noexcept { reset(); return &h_; }

private:
    H h_ = Traits::empty();
};

struct KernelHandleTraits {  // handles where NULL means "none"
    static HANDLE empty() { return nullptr; }
    static bool valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { ::CloseHandle(h); }
};
struct FileHandleTraits {  // CreateFile and friends: INVALID_HANDLE_VALUE means "none"
    static HANDLE empty() { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { ::CloseHandle(h); }
};
struct FindHandleTraits {
    static HANDLE empty() { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void close(HANDLE h) { ::FindClose(h); }
};
struct ChangeNotificationTraits {
    static HANDLE empty() { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void close(HANDLE h) { ::FindCloseChangeNotification(h); }
};
struct RegKeyTraits {
    static HKEY empty() { return nullptr; }
    static bool valid(HKEY h) { return h != nullptr; }
    static void close(HKEY h) { ::RegCloseKey(h); }
};
struct ModuleTraits {
    static HMODULE empty() { return nullptr; }
    static bool valid(HMODULE h) { return h != nullptr; }
    static void close(HMODULE h) { ::FreeLibrary(h); }
};
struct WindowTraits {
    static HWND empty() { return nullptr; }
    static bool valid(HWND h) { return h != nullptr; }
    static void close(HWND h) { if (::IsWindow(h)) ::DestroyWindow(h); }
};
struct MenuTraits {
    static HMENU empty() { return nullptr; }
    static bool valid(HMENU h) { return h != nullptr; }
    static void close(HMENU h) { ::DestroyMenu(h); }
};
struct IconTraits {
    static HICON empty() { return nullptr; }
    static bool valid(HICON h) { return h != nullptr; }
    static void close(HICON h) { ::DestroyIcon(h); }
};
struct GdiTraits {
    static HGDIOBJ empty() { return nullptr; }
    static bool valid(HGDIOBJ h) { return h != nullptr; }
    static void close(HGDIOBJ h) { ::DeleteObject(h); }
};
struct DcTraits {  // a DC made with CreateCompatibleDC / CreateDC
    static HDC empty() { return nullptr; }
    static bool valid(HDC h) { return h != nullptr; }
    static void close(HDC h) { ::DeleteDC(h); }
};
struct FileMappingViewTraits {
    static void* empty() { return nullptr; }
    static bool valid(void* p) { return p != nullptr; }
    static void close(void* p) { ::UnmapViewOfFile(p); }
};
struct ImageListTraits {
    static HIMAGELIST empty() { return nullptr; }
    static bool valid(HIMAGELIST h) { return h != nullptr; }
    static void close(HIMAGELIST h);
};

using Handle = UniqueHandle<HANDLE, KernelHandleTraits>;
using FileHandle = UniqueHandle<HANDLE, FileHandleTraits>;
using FindHandle = UniqueHandle<HANDLE, FindHandleTraits>;
using ChangeNotificationHandle = UniqueHandle<HANDLE, ChangeNotificationTraits>;
using RegKey = UniqueHandle<HKEY, RegKeyTraits>;
using Module = UniqueHandle<HMODULE, ModuleTraits>;
using OwnedWindow = UniqueHandle<HWND, WindowTraits>;
using MappedView = UniqueHandle<void*, FileMappingViewTraits>;

// GDI objects (bitmaps, fonts, brushes, pens, regions, DCs, image lists) and
// USER objects (icons, menus) are held by counted owners, so a test can see
// whether a piece of code gives back all it took (GetGuiResources reads 0
// under Wine, so the platform cannot tell).

enum class TGuiObjectKind { Gdi, User };

// Objects of that kind currently held by the GUI layer's owners.
long LiveGuiObjects(TGuiObjectKind kind) noexcept;

namespace detail {
void CountGuiObject(TGuiObjectKind kind, long delta) noexcept;

template <class H, class Traits, TGuiObjectKind Kind>
struct CountedTraits {
    static H empty() { return Traits::empty(); }
    static bool valid(H h) { return Traits::valid(h); }
    static void close(H h) {
        Traits::close(h);
        CountGuiObject(Kind, -1);
    }
};
}  // namespace detail

// Like UniqueHandle, and each held handle counts as one live object.
template <class H, class Traits, TGuiObjectKind Kind>
class CountedHandle {
    using Owner = UniqueHandle<H, detail::CountedTraits<H, Traits, Kind>>;

public:
    CountedHandle() noexcept = default;
    explicit CountedHandle(H h) noexcept { reset(h); }
    CountedHandle(CountedHandle&&) noexcept = default;
    CountedHandle& operator=(CountedHandle&&) noexcept = default;

    H get() const noexcept { return h_.get(); }
    explicit operator bool() const noexcept { return static_cast<bool>(h_); }
    void reset(H h = Traits::empty()) noexcept {
        if (Traits::valid(h)) detail::CountGuiObject(Kind, +1);
        h_.reset(h);
    }
    // Hands the handle to a new owner outside the GUI layer (the count drops).
    H release() noexcept {
        H h = h_.release();
        if (Traits::valid(h)) detail::CountGuiObject(Kind, -1);
        return h;
    }

private:
    Owner h_;
};

using GdiObject = CountedHandle<HGDIOBJ, GdiTraits, TGuiObjectKind::Gdi>;
using MemoryDC = CountedHandle<HDC, DcTraits, TGuiObjectKind::Gdi>;
using ImageListHandle = CountedHandle<HIMAGELIST, ImageListTraits, TGuiObjectKind::Gdi>;
using IconHandle = CountedHandle<HICON, IconTraits, TGuiObjectKind::User>;
using MenuHandle = CountedHandle<HMENU, MenuTraits, TGuiObjectKind::User>;

// A DC from GetDC, released to its window.
class WindowDC {
public:
    explicit WindowDC(HWND wnd) noexcept : wnd_(wnd), dc_(::GetDC(wnd)) {}
    ~WindowDC() { if (dc_) ::ReleaseDC(wnd_, dc_); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const noexcept { return dc_; }
private:
    HWND wnd_;
    HDC dc_;
};

// Selects a GDI object into a DC and puts the old one back.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(::SelectObject(dc, obj)) {}
    ~SelectObjectScope() { if (old_) ::SelectObject(dc_, old_); }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;
private:
    HDC dc_;
    HGDIOBJ old_;
};

// An owning COM interface pointer.
template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    explicit ComPtr(T* p) noexcept : p_(p) {}  // takes over a reference
    ComPtr(const ComPtr& o) noexcept : p_(o.p_) { if (p_) p_->AddRef(); }
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr o) noexcept { std::swap(p_, o.p_); return *this; }
    ~ComPtr() { reset(); }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    void reset() noexcept { if (p_) { p_->Release(); p_ = nullptr; } }
    T** put() noexcept { reset(); return &p_; }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
    T* detach() noexcept { return std::exchange(p_, nullptr); }

    template <class U>
    ComPtr<U> as(REFIID iid) const noexcept {
        ComPtr<U> r;
        if (p_) p_->QueryInterface(iid, r.put_void());
        return r;
    }

private:
    T* p_ = nullptr;
};

// CoInitialize / OleInitialize for the lifetime of a scope on this thread.
class ComScope {
public:
    explicit ComScope(bool ole = false) noexcept
        : ole_(ole), ok_(SUCCEEDED(ole ? ::OleInitialize(nullptr) : ::CoInitialize(nullptr))) {}
    ~ComScope() {
        if (!ok_) return;
        if (ole_) ::OleUninitialize(); else ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool ok() const noexcept { return ok_; }
private:
    bool ole_;
    bool ok_;
};

// Memory from CoTaskMemAlloc (shell strings, item-identifier lists).
template <class T>
class CoTaskMem {
public:
    CoTaskMem() noexcept = default;
    explicit CoTaskMem(T p) noexcept : p_(p) {}
    ~CoTaskMem() { ::CoTaskMemFree(p_); }
    CoTaskMem(const CoTaskMem&) = delete;
    CoTaskMem& operator=(const CoTaskMem&) = delete;
    T get() const noexcept { return p_; }
    T* put() noexcept { ::CoTaskMemFree(p_); p_ = nullptr; return &p_; }
private:
    T p_ = nullptr;
};

}  // namespace gui
