// Owners for Win32 handles: each closes its handle exactly once.
#pragma once

#include <windows.h>

#include <utility>

namespace qm::win32 {

template <typename Handle, auto Invalid, auto CloseFn>
class Unique {
public:
    Unique() = default;
    explicit Unique(Handle h) : h_(h) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : h_(std::exchange(other.h_, Invalid())) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) reset(std::exchange(other.h_, Invalid()));
        return *this;
    }
    ~Unique() { reset(); }

    Handle get() const { return h_; }
    explicit operator bool() const { return h_ != Invalid(); }
    Handle* out() {
        reset();
        return &h_;
    }
    // Closes now; returns false when the close itself failed.
    bool close() {
        if (h_ == Invalid()) return true;
        bool ok = CloseFn(std::exchange(h_, Invalid()));
        return ok;
    }
    void reset(Handle h = Invalid()) {
        if (h_ != Invalid()) CloseFn(h_);
        h_ = h;
    }
    // Hands the handle over to a new owner (a window, a class, a menu bar).
    Handle release() { return std::exchange(h_, Invalid()); }

private:
    Handle h_ = Invalid();
};

inline HANDLE InvalidFileHandle() { return INVALID_HANDLE_VALUE; }
inline bool CloseFile(HANDLE h) { return CloseHandle(h) != 0; }
inline HANDLE NullHandle() { return nullptr; }
inline HKEY NullKey() { return nullptr; }
inline bool CloseKey(HKEY k) { return RegCloseKey(k) == ERROR_SUCCESS; }

inline HGDIOBJ NullGdi() { return nullptr; }
inline bool DeleteGdi(HGDIOBJ o) { return DeleteObject(o) != 0; }
inline HICON NullIcon() { return nullptr; }
inline bool DestroyIconHandle(HICON i) { return DestroyIcon(i) != 0; }
inline HDC NullDc() { return nullptr; }
inline bool DeleteDcHandle(HDC dc) { return DeleteDC(dc) != 0; }
inline HMENU NullMenu() { return nullptr; }
inline bool DestroyMenuHandle(HMENU m) { return DestroyMenu(m) != 0; }

inline bool CloseFind(HANDLE h) { return FindClose(h) != 0; }
using UniqueFind = Unique<HANDLE, InvalidFileHandle, CloseFind>;  // FindFirstFileExW

inline HGLOBAL NullGlobal() { return nullptr; }
inline bool FreeGlobal(HGLOBAL g) { return GlobalFree(g) == nullptr; }

using UniqueGdi = Unique<HGDIOBJ, NullGdi, DeleteGdi>;       // fonts, brushes, bitmaps
using UniqueIcon = Unique<HICON, NullIcon, DestroyIconHandle>;
using UniqueDc = Unique<HDC, NullDc, DeleteDcHandle>;           // CreateCompatibleDC
using UniqueMenu = Unique<HMENU, NullMenu, DestroyMenuHandle>;  // menus not attached to a window
using UniqueFile = Unique<HANDLE, InvalidFileHandle, CloseFile>;    // CreateFileW
using UniqueHandle = Unique<HANDLE, NullHandle, CloseFile>;         // mutexes, events
using UniqueKey = Unique<HKEY, NullKey, CloseKey>;
using UniqueGlobal = Unique<HGLOBAL, NullGlobal, FreeGlobal>;  // GlobalAlloc, until the clipboard takes it

// An object selected into a device context until the end of the scope.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;
    ~Selected() { SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// The device context of a window, or of the screen for no window (GetDC).
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Painting a window in answer to WM_PAINT (BeginPaint, EndPaint).
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    ~PaintDc() { EndPaint(window_, &paint_); }
    HDC get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

}  // namespace qm::win32
