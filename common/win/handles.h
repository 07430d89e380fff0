#pragma once
// Move-only owners for kernel handles and other plain Win32 resources.
#include <windows.h>

#include <utility>

namespace kestrow::win {

// Owns a value released by `Traits::Close`; `Traits::Null()` is the value that owns nothing.
template <class Traits>
class Unique {
    using T = typename Traits::Type;
    static T Null() { return Traits::Null(); }

public:
    Unique() = default;
    explicit Unique(T value) : value_(value) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : value_(other.Release()) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    ~Unique() { Reset(); }

    T Get() const { return value_; }
    explicit operator bool() const { return value_ != Null(); }
    T Release() { return std::exchange(value_, Null()); }
    void Reset(T value = Traits::Null()) {
        if (value_ != Null()) Traits::Close(value_);
        value_ = value;
    }

private:
    T value_ = Traits::Null();
};

// Traits for handles whose empty value is null.
template <class H, void (*CloseFn)(H)>
struct NullTraits {
    using Type = H;
    static H Null() { return nullptr; }
    static void Close(H h) { CloseFn(h); }
};

inline void CloseKernelHandle(HANDLE h) { ::CloseHandle(h); }
inline void CloseRegKey(HKEY k) { ::RegCloseKey(k); }
inline void CloseIcon(HICON h) { ::DestroyIcon(h); }
inline void CloseMenu(HMENU h) { ::DestroyMenu(h); }
// Waits for a callback of the wait that is running, so none runs after the release.
inline void CloseWait(HANDLE h) { ::UnregisterWaitEx(h, INVALID_HANDLE_VALUE); }

// CreateFile reports failure as INVALID_HANDLE_VALUE instead of null.
struct FileTraits {
    using Type = HANDLE;
    static HANDLE Null() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};

using UniqueHandle = Unique<NullTraits<HANDLE, CloseKernelHandle>>;
using UniqueFile = Unique<FileTraits>;
using UniqueRegKey = Unique<NullTraits<HKEY, CloseRegKey>>;
using UniqueIcon = Unique<NullTraits<HICON, CloseIcon>>;
using UniqueMenu = Unique<NullTraits<HMENU, CloseMenu>>;
// A thread-pool wait from RegisterWaitForSingleObject.
using UniqueWait = Unique<NullTraits<HANDLE, CloseWait>>;

// An open clipboard, closed when the session ends.
class ClipboardSession {
public:
    explicit ClipboardSession(HWND owner) : open_(::OpenClipboard(owner) != FALSE) {}
    // Another program may hold the clipboard for a moment (a clipboard manager reading
    // it, say): tries again every 20 ms until `patienceMs` have passed.
    ClipboardSession(HWND owner, DWORD patienceMs) : open_(::OpenClipboard(owner) != FALSE) {
        const DWORD start = ::GetTickCount();
        while (!open_ && ::GetTickCount() - start < patienceMs) {
            ::Sleep(20);
            open_ = ::OpenClipboard(owner) != FALSE;
        }
    }
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    ~ClipboardSession() {
        if (open_) ::CloseClipboard();
    }
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

}  // namespace kestrow::win
