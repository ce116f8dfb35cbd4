#pragma once
// Owning wrappers for the program's handles, in functions and in the entry tree alike: each releases its handle
// once, with the one right call.
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <type_traits>

namespace handles {

template <typename H, auto Release>
struct Deleter {
    using pointer = H;
    void operator()(H h) const
    {
        if (h)
            Release(h);
    }
};

template <typename H, auto Release>
using unique_handle = std::unique_ptr<std::remove_pointer_t<H>, Deleter<H, Release>>;

inline void CloseKey(HKEY key) { RegCloseKey(key); }
inline void DeleteGdiObject(HGDIOBJ obj) { DeleteObject(obj); }
inline void DeleteMemoryDC(HDC dc) { DeleteDC(dc); }
inline void DestroyIconHandle(HICON icon) { DestroyIcon(icon); }
inline void DestroyMenuHandle(HMENU menu) { DestroyMenu(menu); }
inline void CloseFileHandle(HANDLE file) { CloseHandle(file); }
inline void CloseFindHandle(HANDLE find) { FindClose(find); }
inline void CloseKernelObject(HANDLE object) { CloseHandle(object); }
inline void UnhookHook(HHOOK hook) { UnhookWindowsHookEx(hook); }

using unique_hkey = unique_handle<HKEY, CloseKey>;
using unique_hbitmap = unique_handle<HBITMAP, DeleteGdiObject>;
using unique_hbrush = unique_handle<HBRUSH, DeleteGdiObject>;
using unique_hfont = unique_handle<HFONT, DeleteGdiObject>;
using unique_hpen = unique_handle<HPEN, DeleteGdiObject>;
using unique_hdc = unique_handle<HDC, DeleteMemoryDC>;
using unique_hicon = unique_handle<HICON, DestroyIconHandle>;
using unique_hmenu = unique_handle<HMENU, DestroyMenuHandle>;
using unique_hhook = unique_handle<HHOOK, UnhookHook>;
// An event, a mutex or a thread: any kernel object whose "none" is null.
using unique_kernel_object = unique_handle<HANDLE, CloseKernelObject>;
// A search of FindFirstFileW; its "none" is INVALID_HANDLE_VALUE, which is never stored here.
using unique_hfind = unique_handle<HANDLE, CloseFindHandle>;

// A file handle; INVALID_HANDLE_VALUE is "none" for files, so it is never stored here.
struct unique_hfile {
    HANDLE h = nullptr;
    explicit unique_hfile(HANDLE file) : h(file == INVALID_HANDLE_VALUE ? nullptr : file) {}
    ~unique_hfile() { if (h) CloseHandle(h); }
    unique_hfile(const unique_hfile&) = delete;
    unique_hfile& operator=(const unique_hfile&) = delete;
    HANDLE get() const { return h; }
    explicit operator bool() const { return h != nullptr; }
};

// A window's device context from GetDC, released with ReleaseDC.
class window_dc {
public:
    explicit window_dc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~window_dc() { if (dc_) ReleaseDC(window_, dc_); }
    window_dc(const window_dc&) = delete;
    window_dc& operator=(const window_dc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }
private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a device context and selects the old one back at the end of the scope.
class select_object {
public:
    select_object(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
    ~select_object() { if (old_) SelectObject(dc_, old_); }
    select_object(const select_object&) = delete;
    select_object& operator=(const select_object&) = delete;
private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace handles
