#pragma once
// COM and GDI+ lifetimes for one thread or process.
#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <utility>

namespace kestrow::win {

class ComInit {
public:
    ComInit() : ok_(SUCCEEDED(::CoInitialize(nullptr))) {}
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;
    ~ComInit() {
        if (ok_) ::CoUninitialize();
    }

private:
    bool ok_;
};

// Starts GDI+; shuts it down on destruction only when asked to, since the worker
// keeps GDI+ running until the process ends.
class GdiplusSession {
public:
    explicit GdiplusSession(bool shutdownOnExit = true) : shutdown_(shutdownOnExit) {
        Gdiplus::GdiplusStartupInput input;
        ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    ~GdiplusSession() {
        if (ok_ && shutdown_) Gdiplus::GdiplusShutdown(token_);
    }
    bool ok() const { return ok_; }

private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
    bool shutdown_;
};

// A counted COM interface pointer.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr& o) : p_(o.p_) {
        if (p_) p_->AddRef();
    }
    ComPtr& operator=(ComPtr o) {
        std::swap(p_, o.p_);
        return *this;
    }
    ~ComPtr() {
        if (p_) p_->Release();
    }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    T** Put() {
        if (p_) p_->Release();
        p_ = nullptr;
        return &p_;
    }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

}  // namespace kestrow::win
